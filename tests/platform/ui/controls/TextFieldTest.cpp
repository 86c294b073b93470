#include "ControlsTestSupport.h"

#include "platform/ui/text/TextField.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

// Stands in for the text system's field editor: a view with a "string" key.
class FakeFieldEditor : public View {
    FND_OBJECT(FakeFieldEditor)
    static void describeClass(fnd::ClassBuilder<FakeFieldEditor>& c)
    {
        c.property("string", &FakeFieldEditor::text);
        c.property("font", &FakeFieldEditor::font);
    }

public:
    bool acceptsFirstResponder() const override { return true; }
    fnd::String text;
    std::shared_ptr<gfx::Font> font;
};
FND_REGISTER_CLASS(FakeFieldEditor, View)

using TextFieldTest = ControlsTest;

TEST_F(TextFieldTest, FieldsAndLabelsDrawTheirStyles)
{
    auto field = TextField::create({ 10, 180, 140, 26 });
    field->setStringValue("Text");
    auto empty = TextField::create({ 160, 180, 140, 26 });
    empty->setPlaceholderString("Placeholder");
    auto label = TextField::labelWithString("Label");
    label->setFrameOrigin({ 10, 140 });
    for (auto& v : std::vector<std::shared_ptr<View>> { field, empty, label })
        add(v);
    auto image = snapshot("text-fields");
    auto background = pixel(*image, 5, 5);

    // A field: white inside a border darker than the window; its text near black.
    EXPECT_EQ(pixelIn(*image, *field, { 120, 13 }), argb(255, 255, 255, 255));
    EXPECT_LT(luminance(pixelIn(*image, *field, { 0.5, 13 })), luminance(background) - 20);
    int text = 255, placeholder = 255;
    for (double x = 6; x < 40; x += 1) {
        for (double y = 6; y < 20; y += 1) {
            text = std::min(text, luminance(pixelIn(*image, *field, { x, y })));
            placeholder = std::min(placeholder, luminance(pixelIn(*image, *empty, { x, y })));
        }
    }
    EXPECT_LT(text, 70);
    EXPECT_GT(placeholder, text + 40) << "the placeholder is grey";
    EXPECT_LT(placeholder, 200);
    // A label has no background of its own.
    EXPECT_EQ(pixelIn(*image, *label, { label->bounds().width() - 1, 1 }), background);
}

TEST_F(TextFieldTest, WrappingLabelsBreakLinesAndOneLineLabelsDoNot)
{
    const char* text = "Several words that need more than one line here";
    auto wrapping = TextField::wrappingLabelWithString(text);
    wrapping->setFrame({ 10, 100, 120, 60 });
    auto single = TextField::labelWithString(text);
    single->setFrame({ 170, 100, 120, 60 });
    add(wrapping);
    add(single);
    auto image = snapshot("labels");
    auto inked = [&](View& v, double y0, double y1) {
        for (double y = y0; y < y1; y += 1)
            for (double x = 0; x < 110; x += 1)
                if (luminance(pixelIn(*image, v, { x, y })) < 120)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(*wrapping, 0, 16));
    EXPECT_TRUE(inked(*wrapping, 18, 34)) << "the second line";
    EXPECT_TRUE(inked(*single, 0, 16));
    EXPECT_FALSE(inked(*single, 18, 34));
    EXPECT_GT(wrapping->cell()->cellSizeForBounds({ 0, 0, 120, 1000 }).height,
        single->cell()->cellSizeForBounds({ 0, 0, 120, 1000 }).height);
}

TEST_F(TextFieldTest, FieldEditorHooksPlaceTheEditorAndTakeItsText)
{
    auto field = TextField::create({ 20, 100, 200, 26 });
    field->setStringValue("before");
    add(field);
    auto editor = std::make_shared<FakeFieldEditor>();
    editor->initWithFrame({});
    field->cell()->selectWithFrame(field->bounds(), *field, editor, nullptr, 0, 6);
    ASSERT_EQ(field->currentEditor(), editor);
    EXPECT_EQ(editor->superview(), field);
    EXPECT_EQ(editor->frame(), field->cell()->titleRectForBounds(field->bounds()));
    EXPECT_EQ(editor->text, u"before");
    ASSERT_TRUE(editor->font);
    EXPECT_TRUE(editor->font->isEqual(*field->font())) << "the editor takes the field's font";

    editor->text = "after";
    EXPECT_EQ(field->stringValue(), u"after") << "reading the value validates the edit";
    field->cell()->endEditing(editor);
    EXPECT_FALSE(field->currentEditor());
    EXPECT_FALSE(editor->superview());

    // Setting a value while editing ends the edit without taking the editor's text.
    field->cell()->selectWithFrame(field->bounds(), *field, editor, nullptr, 0, 0);
    editor->text = "discarded";
    field->setStringValue("set");
    EXPECT_FALSE(field->currentEditor());
    EXPECT_EQ(field->stringValue(), u"set");

    // A label cannot be edited.
    auto label = TextField::labelWithString("label");
    add(label);
    label->cell()->editWithFrame(label->bounds(), *label, editor, nullptr, nullptr);
    EXPECT_FALSE(label->currentEditor());
}

}
