#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/dragging/PasteboardItem.h"

#include <memory>
#include <optional>
#include <vector>

namespace ui {

class Pasteboard;

// The standard pasteboards, by the names stored and exchanged between processes.
namespace PasteboardName {
inline const fnd::String General = "NSGeneralPboard";
inline const fnd::String Drag = "NSDragPboard";
inline const fnd::String Find = "NSFindPboard";
}

// Common data types.
namespace PasteboardType {
inline const fnd::String String = "NSStringPboardType";
inline const fnd::String PDF = "NSPDFPboardType";
inline const fnd::String PostScript = "NSPostScriptPboardType";
inline const fnd::String TIFF = "NSTIFFPboardType";
inline const fnd::String PNG = "public.png";
inline const fnd::String URL = "NSURLPboardType";
inline const fnd::String Filenames = "NSFilenamesPboardType";
inline const fnd::String Color = "NSColorPboardType";
// Files the drag's source writes when a destination names their folder (see FilePromise.h).
inline const fnd::String FilesPromise = "NSFilesPromisePboardType";
}

// Declares types without writing their data yet; the pasteboard asks for the data when a reader wants it.
class PasteboardOwner {
public:
    virtual ~PasteboardOwner() = default;
    // Write the data for the type now (setData, setString or setPropertyList).
    virtual void pasteboardProvideDataForType(Pasteboard& pasteboard, const fnd::String& type) = 0;
    // Another writer took the pasteboard over; data not yet provided is gone.
    virtual void pasteboardChangedOwner(Pasteboard&) { }
};

// A named place to put data for another part of the program (or, through the backend, another program): typed
// values, each written at once or promised by an owner, and item objects handed back to in-process readers as
// the very objects written.
class Pasteboard : public fnd::Object {
    FND_OBJECT(Pasteboard)

public:
    Pasteboard() = default;

    static std::shared_ptr<Pasteboard> generalPasteboard() { return pasteboardWithName(PasteboardName::General); }
    // The same object for the same name for as long as it is not released.
    static std::shared_ptr<Pasteboard> pasteboardWithName(const fnd::String& name);
    // A pasteboard no other call has named.
    static std::shared_ptr<Pasteboard> pasteboardWithUniqueName();
    // Forgets the name: the next pasteboardWithName makes a fresh, empty pasteboard.
    void releaseGlobally();

    const fnd::String& name() const { return m_name; }
    // Goes up with every new declaration or clearing, so a reader can tell whether what it read is still there.
    long changeCount() const { return m_changeCount; }

    // Replaces the contents with these types, all promised by the owner (or written later when there is none).
    // Answers the new change count.
    long declareTypes(const std::vector<fnd::String>& types, std::weak_ptr<PasteboardOwner> owner = {});
    // Adds types to the current declaration, promised by this owner; answers the change count.
    long addTypes(const std::vector<fnd::String>& types, std::weak_ptr<PasteboardOwner> owner = {});
    long clearContents();

    // Declared types and the types of written items, without repeats, in that order.
    std::vector<fnd::String> types() const;
    // The first of the wanted types the pasteboard has.
    std::optional<fnd::String> availableTypeFromArray(const std::vector<fnd::String>& types) const;

    // A type must be declared first; false otherwise, or when the value cannot be stored as such.
    bool setData(const fnd::Data& data, const fnd::String& type);
    bool setString(const fnd::String& string, const fnd::String& type);
    bool setPropertyList(const fnd::Value& propertyList, const fnd::String& type);

    // A promised type is asked of its owner first. Declared items answer too, the first item having the type.
    std::optional<fnd::Data> dataForType(const fnd::String& type);
    std::optional<fnd::String> stringForType(const fnd::String& type);
    // nil when there is none or it does not parse.
    fnd::Value propertyListForType(const fnd::String& type);

    // The resolution, in dots per inch, at which a reader that takes only bitmaps gets a drawing this pasteboard
    // holds (a PDF offered as PNG, PasteboardConversion.h): the writer's choice, kept until the next declaration or
    // clearing, which go back to the default. Brought inside the limits; not a number gives the default.
    static constexpr double DefaultImageResolution = 72, MinImageResolution = 9, MaxImageResolution = 2400;
    double imageResolution() const { return m_imageResolution; }
    void setImageResolution(double dotsPerInch);

    // Appends the items; the pasteboard keeps them alive until it is cleared or declared anew.
    bool writeObjects(const std::vector<std::shared_ptr<PasteboardItem>>& items);
    const std::vector<std::shared_ptr<PasteboardItem>>& pasteboardItems() const { return m_items; }
    // True when some item holds one of the types.
    bool canReadItemWithDataConformingToTypes(const std::vector<fnd::String>& types) const;

private:
    struct Entry {
        fnd::String type;
        fnd::Value value; // nil until written
        std::weak_ptr<PasteboardOwner> owner;
        bool hasOwner { false };
    };

    Entry* find(const fnd::String& type);
    const Entry* find(const fnd::String& type) const;
    // Asks the owner for a promised value, once.
    const fnd::Value* resolve(const fnd::String& type);
    void store(const fnd::String& type, fnd::Value value);
    void dropOwners();

    fnd::String m_name;
    long m_changeCount { 0 };
    std::vector<Entry> m_entries;
    // Everyone who declared types since the last declaration, told when it is taken over.
    std::vector<std::weak_ptr<PasteboardOwner>> m_owners;
    std::vector<std::shared_ptr<PasteboardItem>> m_items;
    double m_imageResolution { DefaultImageResolution };
};

}
