#pragma once

#include <cstddef>
#include <functional>
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

// Characters `begin` up to `end` of `paragraphs`, a break between two counting as one, as in a
// field's text: `span` changes the runs that hold them, split where the range begins and ends,
// and `paragraph` each paragraph the range reaches. Runs left alike are joined again. Changes
// nothing, and returns false, where the runs would pass a field's cap.
bool restyle(std::vector<EditText::Paragraph>& paragraphs, std::size_t begin, std::size_t end,
             const std::function<void(EditText::Span&)>& span,
             const std::function<void(EditText::Paragraph&)>& paragraph);

} // namespace quillmere::swf
