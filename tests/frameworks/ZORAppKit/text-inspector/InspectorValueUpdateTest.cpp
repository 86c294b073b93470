// Values arriving from the model and going again, one field at a time: the text equals a rebuild after each, in a
// read-only inspector (where fields without a value are left out) and in an editable one.
#include "InspectorTextPicture.h"

#include "frameworks/FoundationExtensions/ZORCountryLocale.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/bindings/ArrayController.h"

#include <random>

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

// The model's keys, each with the values a step may give it.
struct InspectorValueUpdateKey {
    const char* key;
    std::vector<fnd::Value> values;
};

const std::vector<InspectorValueUpdateKey>& InspectorValueUpdateKeys()
{
    static const std::vector<InspectorValueUpdateKey> keys = [] {
        const fnd::Value none, null = fnd::Value(fnd::Null {});
        const fnd::Value texts[]
            = { none, null, fnd::Value("Ada"), fnd::Value("Grace Hopper"), fnd::Value(""), fnd::Value(42),
                  fnd::Value(fnd::Array { "a", "b" }), fnd::Value(fnd::Array {}), fnd::Value(fnd::Array { "same" }) };
        std::vector<fnd::Value> text(std::begin(texts), std::end(texts));
        return std::vector<InspectorValueUpdateKey> {
            { "name", text },
            { "bare", text },
            { "replaced", text },
            { "hidden", text },
            { "count", { none, fnd::Value(7), fnd::Value(3.7), fnd::Value(fnd::Array { 1, 2 }) } },
            { "site", { none, fnd::Value("d.example"), fnd::Value("nodot"), fnd::Value(fnd::Array { "x.y", "z.y" }) } },
            { "mail", { none, fnd::Value("a@b.example"), fnd::Value(fnd::Array {}) } },
            { "done", { none, fnd::Value(true), fnd::Value(false), fnd::Value(fnd::Array { true, false }) } },
            { "country", { none, fnd::Value("AT"), fnd::Value("FR"), fnd::Value(fnd::Array { "AT", "FR" }) } },
            { "tail", text },
        };
    }();
    return keys;
}

class InspectorValueUpdateModel : public fnd::Object {
    FND_OBJECT(InspectorValueUpdateModel)
    static void describeClass(fnd::ClassBuilder<InspectorValueUpdateModel>& c)
    {
        for (const auto& each : InspectorValueUpdateKeys()) {
            const std::string key = each.key;
            c.property(
                each.key, [key](const InspectorValueUpdateModel& m) { return m.values.at(key); },
                [key](InspectorValueUpdateModel& m, const fnd::Value& v) { m.values[key] = v; });
        }
    }

public:
    std::map<std::string, fnd::Value> values;
};

class InspectorValueUpdateEntry : public fnd::Object {
    FND_OBJECT(InspectorValueUpdateEntry)
    static void describeClass(fnd::ClassBuilder<InspectorValueUpdateEntry>& c)
    {
        c.property("title", &InspectorValueUpdateEntry::title);
    }

public:
    fnd::Value title;
};

class InspectorValueUpdateTest : public InspectorTest {
protected:
    InspectorValueUpdateTest()
    {
        for (const auto& each : InspectorValueUpdateKeys())
            model->values[each.key] = fnd::Value();
        for (int i = 0; i < 3; ++i) {
            entries.push_back(fnd::makeObject<InspectorValueUpdateEntry>());
            content.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(entries.back())));
        }
        controller->setContent(content);
        rebuilt = ZORTextViewInspector::create({ 0, 0, 400, 300 });
    }

    // The same form for each inspector, bound to the one model.
    std::vector<ZORTextViewInspectorFieldPtr> form()
    {
        auto label = [](const char* text) { return Label::fieldLabelWithString(text); };
        auto text = [&](const char* key, const char* placeholder) {
            auto field = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
                key, label(key), placeholder ? std::optional<fnd::String>(placeholder) : std::nullopt);
            field->bind("value", *model, key);
            return field;
        };
        auto name = text("name", "Name");
        auto bare = text("bare", nullptr);
        auto replaced = text("replaced", "Replaced");
        replaced->setNotEditableReplacementString("unknown");
        auto hidden = text("hidden", "Hidden");
        hidden->setConditionallySetsHidden(true);
        hidden->setShouldAppendNewline(false); // the next field, which has no label, shares its line
        auto count = ZORTextViewInspectorField::make<ZORTextViewInspectorIntegerField>(
            "count", label("count"), fnd::String("Count"));
        count->bind("value", *model, "count");
        auto site
            = ZORTextViewInspectorField::make<ZORTextViewInspectorURLField>("site", label("site"), fnd::String("Site"));
        site->bind("value", *model, "site");
        auto mail = ZORTextViewInspectorField::make<ZORTextViewInspectorEmailField>(
            "mail", label("mail"), fnd::String("Mail"));
        mail->bind("value", *model, "mail");
        auto done = ZORTextViewInspectorField::make<ZORTextViewInspectorCheckboxField>("done", label("done"));
        done->bind("value", *model, "done");
        auto country = ZORTextViewInspectorField::make<ZORTextViewInspectorCountryField>("country", label("country"));
        country->setCountryLocales(
            { std::make_shared<ZORCountryLocale>("AT"), std::make_shared<ZORCountryLocale>("FR") });
        country->bind("value", *model, "country");
        auto tail
            = ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("tail", nullptr, fnd::String("Tail"));
        tail->bind("value", *model, "tail");
        auto rows = ZORTextViewInspectorField::make<ZORTextViewInspectorListField>("rows", label("rows"));
        rows->setEditable(true);
        rows->setEntryFieldTemplate(
            ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("row", nullptr, fnd::String("Row")));
        rows->bindToObject(controller, "arrangedObjects", "title", "");
        return { name, bare, rows, replaced, hidden, tail, count, site, mail, done, country };
    }

    void run(bool editable, unsigned seed)
    {
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        for (auto* each : { inspector.get(), rebuilt.get() }) {
            each->removeAllFields();
            each->setEditableState(editable);
            each->addFieldsArray(form());
        }
        for (int step = 1; step <= 100 && !HasFailure(); ++step) {
            const auto& keys = InspectorValueUpdateKeys();
            std::string what;
            if (pick(5) == 0) {
                // A list row's value.
                auto index = pick(entries.size());
                const auto& values = keys.front().values;
                const auto& value = values[pick(values.size())];
                entries[index]->setValueForKey(value, "title");
                what = fmt::format("row {} takes {}", index, visible(value.description()));
            } else {
                const auto& key = keys[pick(keys.size())];
                const auto& value = key.values[pick(key.values.size())];
                model->setValueForKey(value, key.key);
                what = fmt::format("{} takes {}", key.key, visible(value.description()));
            }
            rebuilt->recreateFieldTextStorage();
            ASSERT_EQ(textPicture(*inspector), textPicture(*rebuilt))
                << (editable ? "editable" : "read-only") << " seed " << seed << " step " << step << ": " << what;
        }
    }

    std::shared_ptr<InspectorValueUpdateModel> model = fnd::makeObject<InspectorValueUpdateModel>();
    std::shared_ptr<fnd::ArrayController> controller = fnd::makeObject<fnd::ArrayController>();
    std::vector<std::shared_ptr<InspectorValueUpdateEntry>> entries;
    fnd::Array content;
    std::shared_ptr<ZORTextViewInspector> rebuilt;
};

}

FND_REGISTER_CLASS(InspectorValueUpdateModel, fnd::Object)
FND_REGISTER_CLASS(InspectorValueUpdateEntry, fnd::Object)

TEST_F(InspectorValueUpdateTest, ValuesComingAndGoingShowAsARebuildShowsThem)
{
    // 2 states x 2 seeds x 100 steps, each compared with a rebuild.
    for (bool editable : { false, true })
        for (unsigned seed : { 1u, 2u })
            run(editable, seed);
}

// A field coming or going before the edited one moves the edit along, what was typed kept; while rebuilds are
// deferred nothing comes or goes until the closing rebuild.
TEST_F(InspectorValueUpdateTest, FieldsComingAndGoingKeepAnEditElsewhere)
{
    inspector->setEditableState(true);
    inspector->addFieldsArray(form());
    auto tail = inspector->fieldWithIdentifier("tail");
    inspector->jumpToField(tail);
    inspector->insertText(fnd::Value("typed"));
    for (const fnd::Value& value : { fnd::Value("shown"), fnd::Value() }) {
        model->setValueForKey(value, "hidden"); // the field just before the edited one
        EXPECT_EQ(inspector->activeField(), tail) << visible(value.description());
        EXPECT_EQ(text().substring(inspector->currentEditingCharRange()), fnd::String("typed"));
    }
    inspector->endEditing();
    EXPECT_EQ(model->values.at("tail"), fnd::Value("typed"));
    const auto before = inspector->rebuildCount();
    inspector->beginFieldEditing();
    model->setValueForKey(fnd::Value("shown"), "hidden");
    EXPECT_EQ(text().rangeOfString("shown").location, fnd::NotFound) << "deferred";
    inspector->endFieldEditing();
    EXPECT_EQ(inspector->rebuildCount(), before + 1);
    EXPECT_NE(text().rangeOfString("shown").location, fnd::NotFound);
}
