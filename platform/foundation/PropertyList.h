#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"

namespace fnd {

// Property lists: trees of Dictionary, Array, String, Number, Data, Date (and bool) values.
namespace PropertyList {

enum class Format { XML, Binary };

// Reads an XML property list (the public DTD format). Malformed input gives an error naming what and where.
Expected<Value> read(const Data& data);
// Writes the XML form. Values a property list cannot hold (nil, objects, geometry) give an error.
Expected<Data> writeXML(const Value& root);

}

}
