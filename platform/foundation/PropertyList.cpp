#include "platform/foundation/PropertyList.h"

// FIXME: placeholder until the XML reader and writer are in.
namespace fnd::PropertyList {

Expected<Value> read(const Data&)
{
    return std::unexpected(Error::make(ErrorDomain::Cocoa, 3840, "Property lists cannot be read yet."));
}

Expected<Data> writeXML(const Value&)
{
    return std::unexpected(Error::make(ErrorDomain::Cocoa, 3851, "Property lists cannot be written yet."));
}

}
