// The graphics module's sources join here.
