#pragma once

#include <string_view>
#include <vector>

#include "swf/movie.h"

namespace quillmere::swf {

// A text field's text in runs of one style, by paragraph, starting in the field's own style.
// HTML text: <p align>, <br>, <b>, <i>, <font color size face kerning letterSpacing>, <li> and
// <textformat leftMargin rightMargin indent leading> are read, the common entities decoded,
// every other tag dropped. Plain text: a paragraph for each line.
std::vector<EditText::Paragraph> htmlParagraphs(std::u16string_view html, const EditText& field);
std::vector<EditText::Paragraph> plainParagraphs(std::u16string_view text, const EditText& field);

} // namespace quillmere::swf
