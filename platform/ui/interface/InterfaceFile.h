#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Object.h"

#include <map>
#include <memory>
#include <vector>

namespace ui {

// Interface files: object graphs written in XML, made by class name through the class registry.
//
//     <interface version="1">
//       <object id="window" class="Window">                 made with the registry's factory, then keys set
//         <string key="title">Main</string>                 in document order through key-value coding
//         <object key="contentView" id="content" class="View">   an object as the value of a key
//           <rect key="frame" x="0" y="0" width="200" height="100"/>
//           <subviews>                                      children added with addSubview:, in order
//             <object id="ok" class="Button"> ... </object>
//           </subviews>
//         </object>
//       </object>
//       <object id="menu" class="Menu"><items> ... </items></object>       items added with addItem:
//       <connections>
//         <outlet source="owner" key="window" destination="window"/>      source.key = destination
//         <action source="ok" selector="save:" destination="owner"/>      target and action of the source
//         <action source="menuItem" selector="copy:"/>                     no destination: nil target
//         <binding source="name" name="value" destination="people" keyPath="selection.name">
//           <string key="NSNullPlaceholder">No Name</string>               options, as keyed values
//         </binding>                                                       bound after every outlet
//       </connections>
//     </interface>
//
// Values: <string>, <integer>, <real>, <bool> (true or false), <nil/>, <point x y/>, <size width height/>,
// <rect x y width height/>, <range location length/>, <color red green blue alpha/> or <color white alpha/>,
// <image name/>, <font name size/>, <array> and <dictionary> of values (a dictionary's values carry key), an
// <object> made on the spot, and <reference ref="id"/> to any object of the file (or "owner"). Children can also be
// added by any selector with <children selector="addTabViewItem:">. The id "owner" stands for the file's owner.
//
// Loading makes every object, sets the keys, adds the children, resolves references, connects outlets and actions,
// and only then sends awakeFromNib to every object made (in document order) and to the owner, when they answer
// it. Anything wrong (malformed XML, an unknown class, key, id or value) fails the whole load with an error naming
// the element and its line; no awakeFromNib is sent then.
class InterfaceFile {
public:
    struct Contents {
        // The direct children of <interface>, in order.
        std::vector<std::shared_ptr<fnd::Object>> topLevelObjects;
        // Every object with an id.
        std::map<fnd::String, std::shared_ptr<fnd::Object>> objectsById;
    };

    static inline const fnd::String ErrorDomain = "UIInterfaceFileErrorDomain";
    enum ErrorCode : std::int64_t {
        MalformedError = 1,
        UnknownClassError = 2,
        UnknownKeyError = 3,
        UnknownObjectError = 4,
        InvalidValueError = 5,
        FileReadError = 6,
        // A key the class has, but only to read.
        ReadOnlyKeyError = 7,
    };

    static fnd::Expected<Contents> load(const fnd::Data& xml, const std::shared_ptr<fnd::Object>& owner = {});
    static fnd::Expected<Contents> loadFile(const fnd::String& path, const std::shared_ptr<fnd::Object>& owner = {});
    // The file "<name>.interface" among the resources of the bundle of the owner's class (the main bundle
    // without an owner).
    static fnd::Expected<Contents> loadNamed(const fnd::String& name, const std::shared_ptr<fnd::Object>& owner = {});
};

}
