// The host's help viewer, plain: a topic of a plugin's help file (*.hlf, the
// one of the host language, else English) as text, its markup taken away.
#pragma once

#include <string>
#include <vector>

namespace farhost {

// The lines of topic ("Contents", without '@') in the help file content;
// "#bold#" loses its marks, "~text~@Topic@" becomes "text", a leading '$'
// (a heading that stays in place) goes. Empty when there is no such topic.
std::vector<std::string> helpTopicText(const std::string& content, const std::string& topic);

// The names of the topics of a help file, in order.
std::vector<std::string> helpTopics(const std::string& content);

// The help file of the plugin whose module (DLL path) or folder is given,
// for the language; "" when there is none.
std::string chooseHelpFile(const std::string& moduleOrFolder, const std::string& language);
std::string readHelpFile(const std::string& path);

}  // namespace farhost
