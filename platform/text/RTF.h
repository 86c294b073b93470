#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/text/AttributedString.h"

namespace txt {

// RTF, the format programs exchange styled text in on the clipboard and in files. What it carries of our
// attributes: fonts (family, size, bold, italic), text and background colours, underline, strikethrough, super-
// and subscript, links (HYPERLINK fields), and per paragraph the alignment, indents, spacing and tab stops.
// Attachments are left out. Characters outside ASCII are written as \u escapes.
fnd::Data RTFFromAttributedString(const AttributedString& text);

// Reads what the writer writes and the common RTF of other programs; unknown control words and destinations are
// skipped. Data that is not RTF (no "{\rtf" at the start) or whose groups run deeper than a sane limit is an
// error.
fnd::Expected<AttributedString> attributedStringFromRTF(const fnd::Data& data);

}
