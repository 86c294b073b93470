#include "TextTestSupport.h"

#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/text/TokenField.h"

using namespace ui;
using namespace texttest;

namespace {

// Addresses as tokens: the object is "<name>", shown as the name in capitals, edited as the name; "spam" is refused.
class Addresses : public TokenFieldDelegate {
public:
    std::optional<fnd::Value> tokenFieldRepresentedObjectForEditingString(TokenField&, const fnd::String& s) override
    {
        return fnd::Value(fnd::String("<") + s + fnd::String(">"));
    }
    std::optional<fnd::String> tokenFieldDisplayStringForRepresentedObject(TokenField&, const fnd::Value& v) override
    {
        return name(v).uppercaseString();
    }
    std::optional<fnd::String> tokenFieldEditingStringForRepresentedObject(TokenField&, const fnd::Value& v) override
    {
        return name(v);
    }
    std::vector<fnd::Value> tokenFieldShouldAddObjects(
        TokenField&, const std::vector<fnd::Value>& objects, long index) override
    {
        indexes.push_back(index);
        std::vector<fnd::Value> kept;
        for (const auto& o : objects)
            if (o.stringValue() != u"<spam>")
                kept.push_back(o);
        return kept;
    }
    static fnd::String name(const fnd::Value& v)
    {
        auto s = v.stringValue();
        return s.length() >= 2 ? s.substring({ 1, s.length() - 2 }) : s;
    }
    std::vector<long> indexes;
};

class TokenFieldTest : public TextTest {
protected:
    std::shared_ptr<TokenField> makeField()
    {
        auto field = TokenField::create({ 20, 240, 300, 24 });
        field->setDelegate(delegate);
        add(field);
        return field;
    }
    std::shared_ptr<TextView> editor() const { return std::dynamic_pointer_cast<TextView>(window->firstResponder()); }
    std::vector<std::string> objects(TokenField& field)
    {
        std::vector<std::string> out;
        auto value = field.objectValue();
        if (const auto* array = value.array())
            for (const auto& v : *array)
                out.push_back(v.stringValue().utf8());
        return out;
    }

    std::shared_ptr<Addresses> delegate = std::make_shared<Addresses>();
};

}

TEST_F(TokenFieldTest, TypedTextBecomesTokensAtSeparatorsAndWhenEditingEnds)
{
    auto field = makeField();
    window->makeFirstResponder(field);
    type(u"alice, spam,bob");
    // Two separators typed: alice became a token, spam was refused, bob is still text.
    EXPECT_EQ(editor()->string(), fnd::String(u"\uFFFCbob"));
    EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 4, 0 }));
    EXPECT_EQ(delegate->indexes, (std::vector<long> { 0, 1 }));
    key(u'\t', KeyCode::Tab);
    EXPECT_EQ(objects(*field), (std::vector<std::string> { "<alice>", "<bob>" }));
    EXPECT_EQ(field->stringValue().utf8(), "alice, bob") << "the tokens as text: their editing strings";
    // The field shows them as tokens with their display strings.
    auto image = snapshot("token-field");
    int tinted = 0;
    for (double x = 8; x < 120; x += 1) {
        auto p = pixelIn(*image, *field, { x, 12 });
        tinted += gfx::blueOf(p) > gfx::redOf(p) + 15 ? 1 : 0;
    }
    EXPECT_GT(tinted, 20) << "the tokens' tinted faces";
}

TEST_F(TokenFieldTest, ReturnMakesPendingTextATokenThenEndsEditing)
{
    auto field = makeField();
    field->setObjectValue(fnd::Value(fnd::Array { fnd::Value("<x>") }));
    window->makeFirstResponder(field);
    EXPECT_EQ(editor()->string(), fnd::String(u"\uFFFC")) << "existing tokens are attachments in the editor";
    key(FunctionKey::End, KeyCode::End);
    type(u"carol");
    key(u'\r', KeyCode::Return);
    EXPECT_EQ(field->currentEditor(), editor()) << "editing goes on";
    EXPECT_EQ(editor()->string(), fnd::String(u"\uFFFC\uFFFC"));
    key(u'\r', KeyCode::Return);
    EXPECT_EQ(objects(*field), (std::vector<std::string> { "<x>", "<carol>" }));
}

TEST_F(TokenFieldTest, TokensDeleteWholeAndADoubleClickEditsOneAgain)
{
    auto field = makeField();
    field->setStringValue("ann, ben, cy");
    EXPECT_EQ(objects(*field), (std::vector<std::string> { "<ann>", "<ben>", "<cy>" }));
    window->makeFirstResponder(field);
    key(FunctionKey::End, KeyCode::End);
    key(Backspace, KeyCode::Delete);
    EXPECT_EQ(editor()->string(), fnd::String(u"\uFFFC\uFFFC"));
    // A double click on the second token turns it into its editing string, selected.
    auto manager = editor()->layoutManager();
    auto rect = manager->rectsForCharacterRange({ 1, 1 }, *editor()->textContainer()).front();
    auto origin = editor()->textContainerOrigin();
    gfx::Point second { origin.x + rect.midX(), origin.y + rect.midY() };
    click(*editor(), second, 0, 2);
    EXPECT_EQ(editor()->string(), fnd::String(u"\uFFFCben"));
    EXPECT_EQ(editor()->selectedRange(), (fnd::Range { 1, 3 }));
    type(u"bea");
    key(u'\t', KeyCode::Tab);
    EXPECT_EQ(objects(*field), (std::vector<std::string> { "<ann>", "<bea>" }));
}
