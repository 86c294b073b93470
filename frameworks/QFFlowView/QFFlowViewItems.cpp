// The flow view's items and pictures: where items come from, how each kind of representation becomes a picture,
// and the pipeline that makes pictures off the main thread and caches them by the item's identifier.

#include "frameworks/QFFlowView/QFFlowView.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileURL.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/services/Workspace.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/graphics/Thumbnailer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace {

// An item key of the item protocol, as a key and a selector (made once: a reload reads every item's).
struct QFFlowViewItemKey {
    fnd::String key;
    fnd::Selector selector;
    explicit QFFlowViewItemKey(const char* name)
        : key(name)
        , selector(key)
    {
    }
};

// Reads an item attribute: through the key path when the content is bound and the path is set (an object's, or a
// value's such as a dictionary's), else the item's own key when its class declares one, else nil.
fnd::Value QFFlowViewItemAttribute(
    const fnd::Value& item, bool bound, const std::optional<fnd::String>& keyPath, const QFFlowViewItemKey& key)
{
    if (item.isNil() || item.isNull())
        return {};
    try {
        if (bound && keyPath)
            return fnd::valueForKeyPath(item, *keyPath);
        auto* object = item.objectPointer();
        if (object && object->respondsTo(key.selector))
            return object->valueForKey(key.key);
    } catch (const fnd::Exception&) {
    }
    return {};
}

const QFFlowViewItemKey& QFFlowViewUIDKey()
{
    static const QFFlowViewItemKey key("imageItemUID");
    return key;
}

const QFFlowViewItemKey& QFFlowViewTypeKey()
{
    static const QFFlowViewItemKey key("imageItemRepresentationType");
    return key;
}

const QFFlowViewItemKey& QFFlowViewRepresentationKey()
{
    static const QFFlowViewItemKey key("imageItemRepresentation");
    return key;
}

const QFFlowViewItemKey& QFFlowViewTitleKey()
{
    static const QFFlowViewItemKey key("imageItemTitle");
    return key;
}

// Compared by identity, as the other observation contexts.
const char QFFlowViewTitleObservationContext[] = "QFFlowViewSelectedItemTitleObservationContext";

fnd::String QFFlowViewLocalized(const char* key)
{
    auto bundle = fnd::Bundle::bundleWithName("QFFlowView");
    return bundle ? bundle->localizedStringForKey(key, {}, "QFFlowView") : fnd::String(key);
}

}

// Item access.

fnd::Value QFFlowView::imageItemForIndex(std::size_t index) const
{
    if (index == NotFound)
        return {};
    // Bound, the items are the content as its last notification left it: reading the controller's array here
    // copied all of it for every item.
    if (bindingsEnabled() && index < m_observedItems.size())
        return m_observedItems[index];
    if (auto source = dataSource())
        if (auto item = source->flowViewItemAtIndex(const_cast<QFFlowView&>(*this), index))
            return *item;
    return {};
}

fnd::Value QFFlowView::imageUIDForItem(const fnd::Value& item) const
{
    return QFFlowViewItemAttribute(item, bindingsEnabled(), imageUIDKeyPath(), QFFlowViewUIDKey());
}

fnd::String QFFlowView::imageRepresentationTypeForItem(const fnd::Value& item) const
{
    auto type = QFFlowViewItemAttribute(item, bindingsEnabled(), imageRepresentationTypeKeyPath(), QFFlowViewTypeKey());
    return type.isString() ? type.stringValue() : fnd::String();
}

fnd::Value QFFlowView::imageRepresentationForItem(const fnd::Value& item) const
{
    return QFFlowViewItemAttribute(
        item, bindingsEnabled(), imageRepresentationKeyPath(), QFFlowViewRepresentationKey());
}

fnd::String QFFlowView::imageTitleForItem(const fnd::Value& item) const
{
    auto title = QFFlowViewItemAttribute(item, bindingsEnabled(), imageTitleKeyPath(), QFFlowViewTitleKey());
    if (title.isString())
        return title.stringValue();
    return QFFlowViewLocalized("Untitled item");
}

fnd::String QFFlowView::titleAtIndex(std::size_t index) const
{
    return imageTitleForItem(imageItemForIndex(index));
}

// The caption.

void QFFlowView::showSelectedTitle()
{
    auto item = imageItemForIndex(m_selectedIndex);
    setTitle(m_selectedIndex == NotFound ? fnd::String() : imageTitleForItem(item));
    observeTitleOfItem(item);
}

void QFFlowView::observeTitleOfItem(const fnd::Value& item)
{
    const fnd::Object* wanted = nullptr;
    if (!(bindingsEnabled() && imageTitleKeyPath()))
        if (auto* object = item.objectPointer(); object && object->respondsTo(QFFlowViewTitleKey().selector))
            wanted = object;
    if (wanted == m_titleObservedItem.identity() && (!wanted || !m_titleObservedItem.isGone()))
        return;
    stopObservingTitle();
    if (!wanted)
        return;
    item.objectPointer()->addObserver(
        *this, QFFlowViewTitleKey().key, fnd::KeyValueObservingOptions::None, QFFlowViewTitleObservationContext);
    m_titleObservedItem = fnd::WeakObjectRef(*item.objectPointer());
}

const void* QFFlowView::titleObservationContext()
{
    return QFFlowViewTitleObservationContext;
}

void QFFlowView::stopObservingTitle()
{
    // An item that went has taken its observation with it.
    if (auto item = m_titleObservedItem.lock()) {
        try {
            item->removeObserver(*this, QFFlowViewTitleKey().key, QFFlowViewTitleObservationContext);
        } catch (const fnd::Exception&) {
        }
    }
    m_titleObservedItem = {};
}

const std::map<fnd::String, fnd::String>& QFFlowView::uniformTypesDictionary()
{
    using namespace QFFlowViewRepresentationType;
    static const std::map<fnd::String, fnd::String> types {
        { CGImage, "public.image" },
        { NSImage, "public.image" },
        { NSBitmap, "public.image" },
        { IconRef, "public.image" },
        { PDFPage, "com.adobe.pdf" },
        { QCComposition, "com.apple.quartz-composer-composition" },
    };
    return types;
}

const std::set<fnd::String>& QFFlowView::pathRepresentationTypes()
{
    using namespace QFFlowViewRepresentationType;
    static const std::set<fnd::String> types { URL, Path, QCCompositionPath, QuickLookPath, IconRefPath };
    return types;
}

std::optional<fnd::String> QFFlowView::pathOfRepresentation(const fnd::Value& representation)
{
    if (!representation.isString())
        return std::nullopt;
    auto text = representation.stringValue();
    if (fnd::isFileURL(text))
        return fnd::pathOfFileURL(text);
    return text;
}

fnd::String QFFlowView::uniformTypeIdentifierAtIndex(std::size_t index) const
{
    auto item = imageItemForIndex(index);
    auto type = imageRepresentationTypeForItem(item);
    return uniformTypeIdentifierOfType(type, isPathType(type) ? imageRepresentationForItem(item) : fnd::Value());
}

fnd::String QFFlowView::uniformTypeIdentifierOfType(const fnd::String& type, const fnd::Value& representation)
{
    if (isPathType(type)) {
        auto path = pathOfRepresentation(representation);
        if (!path)
            return {};
        if (auto uti = fnd::Workspace::sharedWorkspace().typeOfFile(*path))
            return *uti;
        // A file that is not there is known by its name.
        return fnd::Workspace::typeForMIMEType(gfx::Thumbnailer::mimeTypeForFileName(*path));
    }
    auto found = uniformTypesDictionary().find(type);
    return found == uniformTypesDictionary().end() ? fnd::String() : found->second;
}

bool QFFlowView::isMovieAtIndex(std::size_t index) const
{
    auto type = uniformTypeIdentifierAtIndex(index);
    return !type.isEmpty() && fnd::Workspace::typeConformsTo(type, "public.movie");
}

bool QFFlowView::isQCCompositionAtIndex(std::size_t index) const
{
    return contentLayerNameOfItem(imageItemForIndex(index)).utf8().ends_with("QCComposition");
}

const fnd::String& QFFlowView::contentLayerNameOfItem(const fnd::Value& item) const
{
    static const fnd::String composition(QFFlowViewLayerName::Content.utf8() + "QCComposition");
    static const fnd::String movie(QFFlowViewLayerName::Content.utf8() + "Movie");
    static const fnd::String image(QFFlowViewLayerName::Content.utf8() + "Image");
    // The fixed types that are movies, asked once: a reload asks this of every item.
    static const std::set<fnd::String> movieTypes = [] {
        std::set<fnd::String> types;
        for (const auto& [type, uti] : uniformTypesDictionary())
            if (fnd::Workspace::typeConformsTo(uti, "public.movie"))
                types.insert(type);
        return types;
    }();
    auto type = imageRepresentationTypeForItem(item);
    if (type == QFFlowViewRepresentationType::QCComposition)
        return composition;
    if (!isPathType(type))
        return movieTypes.contains(type) ? movie : image;
    auto representation = imageRepresentationForItem(item);
    // No renderer for compositions exists here: they are known by their type or their file's extension.
    auto path = pathOfRepresentation(representation);
    if (path && path->utf8().ends_with(".qtz"))
        return composition;
    auto uti = uniformTypeIdentifierOfType(type, representation);
    return !uti.isEmpty() && fnd::Workspace::typeConformsTo(uti, "public.movie") ? movie : image;
}

// Pictures.

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromURL(const fnd::String& url, gfx::Size size)
{
    return newImageFromQuickLookURL(url, size);
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromQuickLookURL(const fnd::String& url, gfx::Size size)
{
    auto path = fnd::isFileURL(url) ? fnd::pathOfFileURL(url) : std::optional<fnd::String>(url);
    return path ? gfx::Thumbnailer::thumbnailOfFile(*path, size) : nullptr;
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromPath(const fnd::String& path, gfx::Size size)
{
    return newImageFromURL(fnd::fileURLWithPath(path), size);
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromIconRefPath(const fnd::String& path, gfx::Size size)
{
    return newImageFromPath(path, size);
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromNSImage(const gfx::Image& image, gfx::Size size)
{
    return gfx::Thumbnailer::bitmapOfImage(image, size);
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromIcon(const fnd::Value& icon, gfx::Size size)
{
    if (auto image = icon.objectAs<gfx::Image>())
        return newImageFromNSImage(*image, size);
    if (!icon.isString())
        return nullptr;
    auto name = icon.stringValue();
    // A content type names its icon as the desktop does ("text/plain" is "text-plain", else "text-x-generic").
    if (name.utf8().find('/') != std::string::npos)
        return gfx::Thumbnailer::iconForMIMEType(name, size);
    return gfx::Thumbnailer::iconNamed(name, size);
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromData(const fnd::Data& data, gfx::Size size)
{
    auto source = gfx::Image::imageWithData(data);
    if (!source)
        return nullptr;
    return newImageFromCGImageSource(**source, size);
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromCGImageSource(const gfx::Image& source, gfx::Size size)
{
    if (source.representations().empty())
        return nullptr;
    double side = std::trunc(std::max(size.width, size.height));
    return gfx::Thumbnailer::bitmapOfImage(source, { side, side });
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromPDFPage(
    const fnd::Value& page, gfx::Size size, bool transparentBackground)
{
    auto rep = page.objectAs<gfx::PDFImageRep>();
    if (!rep)
        if (auto image = page.objectAs<gfx::Image>(); image && !image->representations().empty())
            rep = std::dynamic_pointer_cast<gfx::PDFImageRep>(image->representations().front());
    if (!rep)
        return nullptr;
    return gfx::Thumbnailer::bitmapOfPDFPage(*rep, size, transparentBackground);
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::newImageFromRepresentation(
    const fnd::Value& representation, const fnd::String& type, gfx::Size size)
{
    using namespace QFFlowViewRepresentationType;
    try {
        if (isPathType(type)) {
            auto path = pathOfRepresentation(representation);
            return path ? newImageFromPath(*path, size) : nullptr;
        }
        if (type == CGImage || type == NSBitmap)
            return representation.objectAs<gfx::BitmapImageRep>();
        if (type == PDFPage)
            return newImageFromPDFPage(representation, size, false);
        if (type == NSImage) {
            auto image = representation.objectAs<gfx::Image>();
            return image ? newImageFromNSImage(*image, size) : nullptr;
        }
        if (type == CGImageSource) {
            if (auto source = representation.objectAs<gfx::Image>())
                return newImageFromCGImageSource(*source, size);
            return representation.isData() ? newImageFromData(*representation.data(), size) : nullptr;
        }
        if (type == NSData)
            return representation.isData() ? newImageFromData(*representation.data(), size) : nullptr;
        if (type == IconRef)
            return newImageFromIcon(representation, size);
    } catch (const std::exception&) {
    }
    // Compositions have no picture here.
    return nullptr;
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::defaultImage()
{
    static const auto image = [] {
        auto bitmap = gfx::BitmapImageRep::create(100, 100, gfx::BitmapLayout::ARGB32Premultiplied);
        bitmap->setSize({ 100, 100 });
        auto context = gfx::GraphicsContext::createForBitmap(bitmap->pixelBuffer());
        auto previous = gfx::GraphicsContext::currentShared();
        gfx::GraphicsContext::setCurrent(context);
        gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithDeviceWhite(0.8, 0.7), *gfx::Color::colorWithDeviceWhite(0.6, 0.7))
            ->drawInRect({ 0, 0, 100, 100 }, 0);
        context->flush();
        gfx::GraphicsContext::setCurrent(previous);
        return bitmap;
    }();
    return image;
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::defaultImageForItem(const fnd::Value& item, gfx::Size size) const
{
    auto type = imageRepresentationTypeForItem(item);
    if (!isPathType(type))
        return nullptr;
    auto path = pathOfRepresentation(imageRepresentationForItem(item));
    if (!path)
        return nullptr;
    // The icon of the file's kind, known by its name alone, as the desktop shows it before a thumbnail exists.
    static fnd::Cache<fnd::String, std::shared_ptr<gfx::BitmapImageRep>> icons;
    auto mime = gfx::Thumbnailer::mimeTypeForFileName(*path);
    fnd::String key(mime.utf8() + "@" + std::to_string(int(size.width)) + "x" + std::to_string(int(size.height)));
    if (auto icon = icons.objectForKey(key))
        return *icon;
    auto icon = gfx::Thumbnailer::iconForMIMEType(mime, size);
    icons.setObject(key, icon);
    return icon;
}

float QFFlowView::differenceForImage(const gfx::BitmapImageRep* image, gfx::Size desired)
{
    if (!image)
        return std::numeric_limits<float>::max();
    return differenceForSize({ double(image->pixelsWide()), double(image->pixelsHigh()) }, desired);
}

float QFFlowView::differenceForSize(gfx::Size made, gfx::Size desired)
{
    if (desired.width <= 0 || desired.height <= 0)
        return 0;
    // Pictures are made to fit the size with their aspect kept, so a tall one is never as wide as desired: measured
    // by the widths alone it would count as too small and be made again at every refresh. It is measured along the
    // side it fits by; for pictures that fill the width this is the width, as before.
    double widthDifference = (made.width - desired.width) / desired.width;
    double heightDifference = (made.height - desired.height) / desired.height;
    return float(std::max(widthDifference, heightDifference) * 100);
}

// Cache.

std::optional<fnd::String> QFFlowView::cacheKey(const fnd::Value& uid)
{
    if (uid.isNil() || uid.isNull())
        return std::nullopt; // items without an identifier are not cached
    if (uid.isString())
        return uid.stringValue();
    return fnd::String(uid.description().utf8());
}

void QFFlowView::cacheImage(const std::shared_ptr<gfx::BitmapImageRep>& image, const fnd::Value& uid)
{
    auto key = cacheKey(uid);
    if (!key || !image)
        return;
    m_imageCache.setObject(*key, image, std::size_t(image->pixelsWide()) * std::size_t(image->pixelsHigh()) * 4);
}

std::shared_ptr<gfx::BitmapImageRep> QFFlowView::lookupForImageUID(const fnd::Value& uid)
{
    auto key = cacheKey(uid);
    if (!key)
        return nullptr;
    auto found = m_imageCache.objectForKey(*key);
    return found ? *found : nullptr;
}

// Pipeline.

struct QFFlowView::PictureLoad {
    enum State : int { Queued, Started, Dropped };
    // The worker begins a load only when the main thread has not dropped it, and the main thread drops only a
    // cancelled one that has not begun: whichever comes first decides, so a load either delivers or is forgotten.
    std::atomic<int> state { Queued };
    // Main thread only.
    gfx::Size size;
    std::weak_ptr<fnd::Operation> operation;
    // Its item changed after it began: the picture it makes is the old one.
    bool outdated { false };
};

void QFFlowView::updateImages()
{
    // Out of every window nothing shows and nothing is kept (a change of the items there still lays them out).
    if (!m_scrollLayer || !window())
        return;
    m_operationQueue->cancelAllOperations();
    // The items in view now: a layout transaction without animations completes (and sends this) before the pass
    // that laid it out has counted them, and the first pass with a size would otherwise load nothing.
    calculateVisibleItems();
    auto size = itemSizeForRect(m_scrollLayer->visibleRect());
    auto visible = m_visibleItems;
    // Hidden items get theirs when they are shown: walking them all here as every move ends slowed the first frames
    // of the next move by half. That holds for one near those in view too: a step ending after the next one began
    // finds items in view the next layout has yet to show, and a picture given to one that layout then leaves
    // hidden would stay.
    for (auto index : std::vector<std::size_t>(m_shownItems)) {
        if (index >= m_numberOfItems)
            continue;
        bool near = visible.length > 0 && std::int64_t(index) + 1 >= visible.location
            && std::int64_t(index) <= visible.location + visible.length;
        if (near)
            updateImageLayerAtIndex(index);
        else
            setKeptImageAtIndex(index, size);
    }
}

void QFFlowView::setKeptImageAtIndex(std::size_t index, gfx::Size size)
{
    auto item = imageItemForIndex(index);
    auto image = lookupForImageUID(imageUIDForItem(item));
    if (!image)
        image = defaultImageForItem(item, size);
    if (!image)
        image = defaultImage();
    setImage(image, index);
}

void QFFlowView::updateImageLayerAtIndex(std::size_t index)
{
    auto desired = itemSizeForRect(m_scrollLayer->frame());
    if (index != m_selectedIndex)
        desired = { desired.width * m_previewScale, desired.height * m_previewScale };
    // Pictures are made no larger than the thumbnailer's bound (the layer scales them up): asked for the bounded
    // size, a cached picture of that size counts as the one wanted instead of being made again at every refresh.
    desired = gfx::Thumbnailer::boundedSize(desired);
    auto item = imageItemForIndex(index);
    auto uid = imageUIDForItem(item);
    auto representation = imageRepresentationForItem(item);
    auto type = imageRepresentationTypeForItem(item);
    if (auto cached = lookupForImageUID(uid)) {
        setImage(cached, index);
        if (differenceForImage(cached.get(), desired) > -10)
            return;
    } else {
        auto placeholder = defaultImageForItem(item, desired);
        setImage(placeholder ? placeholder : defaultImage(), index);
    }
    if (desired.width < 1 || desired.height < 1)
        return;
    auto key = cacheKey(uid);
    if (key && isLoadingPicture(*key, desired))
        return; // its picture is on the way
    auto load = std::make_shared<PictureLoad>();
    load->size = desired;
    std::weak_ptr<QFFlowView> weakSelf = std::static_pointer_cast<QFFlowView>(shared_from_this());
    auto operation = fnd::BlockOperation::create([weakSelf, index, uid, key, representation, type, desired, load] {
        if (int queued = PictureLoad::Queued; !load->state.compare_exchange_strong(queued, PictureLoad::Started))
            return;
        auto image = newImageFromRepresentation(representation, type, desired);
        // The worker never holds the view: a reference taken here could be the last one and destroy the view
        // off the main thread. The picture is cached and shown on the main thread.
        fnd::OperationQueue::mainQueue()->addOperationWithBlock([weakSelf, index, uid, key, image, load] {
            auto self = weakSelf.lock();
            if (!self)
                return;
            // Delivered, even without a picture: a later refresh may ask again.
            if (key) {
                auto [first, last] = self->m_pictureLoads.equal_range(*key);
                if (auto found = std::find_if(first, last, [&](const auto& entry) { return entry.second == load; });
                    found != last)
                    self->m_pictureLoads.erase(found);
            }
            if (!image || load->outdated)
                return;
            self->cacheImage(image, uid);
            self->showDeliveredPicture(image, uid, index);
        });
    });
    load->operation = operation;
    if (key)
        m_pictureLoads.emplace(*key, load);
    m_operationQueue->addOperation(operation);
}

void QFFlowView::showDeliveredPicture(
    const std::shared_ptr<gfx::BitmapImageRep>& image, const fnd::Value& uid, std::size_t index)
{
    // Every shown item under the identifier takes it: items that came or went since the load began moved the item
    // to another index, and an item held twice (or two items of one identifier) was loaded once. Another item now at
    // the load's index does not.
    auto holds = [&](std::size_t at) {
        auto layer = itemLayerAtIndex(at);
        return layer && layer->valueForKey(QFFlowViewLayerKey::UID) == uid;
    };
    bool shownThere = false;
    for (auto at : m_shownItems) {
        shownThere = shownThere || at == index;
        if (holds(at))
            setImage(image, at);
    }
    // Before the first layout nothing is shown yet; the load's own item takes it as before.
    if (!shownThere && holds(index))
        if (auto layer = itemLayerAtIndex(index); layer && !layer->isHidden())
            setImage(image, index);
}

void QFFlowView::dropPictures()
{
    m_operationQueue->cancelAllOperations();
    // Loads under way neither cache nor show what they make.
    for (auto& entry : m_pictureLoads)
        entry.second->outdated = true;
    m_pictureLoads.clear();
    m_imageCache.removeAllObjects();
}

void QFFlowView::forgetOutdatedPictureLoads(const fnd::String& key)
{
    auto [first, last] = m_pictureLoads.equal_range(key);
    // Arriving after the new picture, theirs would replace it.
    for (auto entry = first; entry != last; ++entry)
        entry->second->outdated = true;
    m_pictureLoads.erase(first, last);
}

bool QFFlowView::isLoadingPicture(const fnd::String& key, gfx::Size size)
{
    auto [entry, last] = m_pictureLoads.equal_range(key);
    bool covered = false;
    while (entry != last) {
        auto& load = *entry->second;
        if (auto operation = load.operation.lock(); !operation || operation->isCancelled()) {
            // Cancelled before it began: nothing will come.
            if (int queued = PictureLoad::Queued; load.state.compare_exchange_strong(queued, PictureLoad::Dropped)) {
                entry = m_pictureLoads.erase(entry);
                continue;
            }
        }
        // The picture a load makes fits its size: the cache's tolerance applies to that size.
        covered = covered || differenceForSize(load.size, size) > -10;
        ++entry;
    }
    return covered;
}
