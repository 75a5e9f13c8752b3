#include "cli/jsonReport.h"

#include <stdio.h>

namespace farhost {

namespace {

void appendUtf8(std::string& out, unsigned c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string list(const std::vector<std::string>& texts, unsigned codePage) {
    std::string s = "[";
    for (size_t i = 0; i < texts.size(); ++i) s += (i ? ", " : "") + jsonString(texts[i], codePage);
    return s + "]";
}

}  // namespace

std::string jsonString(const std::string& oem, unsigned codePage) {
    std::string out = "\"";
    for (unsigned char c : oem) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            char in = static_cast<char>(c);
            wchar_t wide = L'?';
            if (MultiByteToWideChar(codePage, 0, &in, 1, &wide, 1) != 1) wide = L'?';
            appendUtf8(out, static_cast<unsigned>(wide));
        }
    }
    return out + "\"";
}

std::string jsonReport(const Host& host, int exitCode, unsigned codePage) {
    std::string s = "{\n  \"exitCode\": " + std::to_string(exitCode) + ",\n";
    s += "  \"transcript\": " + list(host.transcript, codePage) + ",\n";
    s += "  \"messages\": [";
    for (size_t i = 0; i < host.messages.size(); ++i) {
        const MessageCall& m = host.messages[i];
        s += std::string(i ? ",\n" : "\n") + "    {\"lines\": " + list(m.lines, codePage) +
             ", \"buttons\": " + list(m.buttons, codePage) + ", \"helpTopic\": " + jsonString(m.helpTopic, codePage) +
             ", \"answer\": " + std::to_string(m.answer) + "}";
    }
    s += host.messages.empty() ? "],\n" : "\n  ],\n";
    std::vector<std::string> topics;
    for (const HelpCall& h : host.helps) topics.push_back(h.topic);
    s += "  \"helpTopics\": " + list(topics, codePage) + ",\n";
    s += "  \"problems\": " + list(host.problems, codePage) + ",\n";
    s += "  \"faults\": " + list(host.faults, codePage) + "\n}\n";
    return s;
}

}  // namespace farhost
