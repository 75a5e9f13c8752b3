// Language files (*.lng) as the host reads them: the header line names the
// language, every line that starts with a double quote is one message, and a
// plugin's message ids count those lines from 0.
#pragma once

#include <string>
#include <vector>

namespace farhost {

// ".Language=Name,Description" -> Name and Description (blanks trimmed).
// False when the line is no language header.
bool parseLanguageHeader(const std::string& line, std::string& name, std::string& description);

// The text between the quotes of one message line, with \" and \\ unescaped;
// other backslashes stay as they are. False when the line is no message line.
bool parseMessageLine(const std::string& line, std::string& text);

// All message lines of a file's content, in order.
std::vector<std::string> parseLanguageMessages(const std::string& content);

// Picks the language file in folder (with or without trailing backslash)
// whose header names language, else the English one; "" when there is none.
std::string chooseLanguageFile(const std::string& folder, const std::string& language);

// The messages of the chosen file; empty when none was found.
std::vector<std::string> loadLanguageMessages(const std::string& folder, const std::string& language);

}  // namespace farhost
