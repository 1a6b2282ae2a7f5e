#pragma once
// The text syntax of window definitions and its conversion to the binary form:
//
//   object MainForm: TMainForm
//     Caption = 'Orvasil ' + 'it''s'#13#10      strings, '' for a quote, #n for a byte
//     Width = 400                               integers (also $1F and -5)
//     Visible = True                            True, False, nil, identifiers
//     Anchors = [akLeft, akTop]                 sets
//     Items.Strings = ('one' 'two')             lists; Sub.Prop for a sub-object
//     Data = {0A0B0C}                           binary data in hex
//     Areas = <item Hint = 'x' end>             collections
//     OnClick = NextBtnClick                    event bound to a method of the root
//     CData = @file('lang/english.lng')         bytes from a file (only where a handler is given)
//     object NextBtn: TButton ... end           children
//   end
//
// "//" starts a comment that runs to the end of the line.
#include <functional>
#include <string>

#include "base/Streams.h"

namespace orv {

// Answers the bytes that "Prop = @file('path')" stores as Prop's binary value.
using TFileValueHandler = std::function<std::string(const std::string& propName, const std::string& path)>;

// Converts one object definition from Input's position. A syntax error raises EParserError
// whose message names the line.
void ObjectTextToBinary(TStream& input, TStream& output, const TFileValueHandler& fileValues = {});
void ObjectTextToBinary(const std::string& text, TStream& output, const TFileValueHandler& fileValues = {});

}  // namespace orv
