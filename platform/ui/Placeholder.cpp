// The user-interface module's sources join here.
