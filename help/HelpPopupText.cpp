#include "help/HelpPopupText.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

std::string Trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const size_t last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

// A number in decimal or 0x hex that fits 32 bits, the whole of text.
bool ParseId(const std::string& text, unsigned long& id)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (errno || *end || value > 0xFFFFFFFFull)
        return false;
    id = static_cast<unsigned long>(value);
    return true;
}

std::map<std::string, unsigned long> ReadDefines(const std::string& defines)
{
    std::map<std::string, unsigned long> ids;
    std::istringstream in(defines);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string keyword, name, value;
        unsigned long id = 0;
        if (words >> keyword >> name >> value && keyword == "#define" && ParseId(value, id))
            ids[name] = id;
    }
    return ids;
}

}  // namespace

int HelpPopupText::Parse(const std::string& topics, const std::string& defines)
{
    m_texts.clear();
    const std::map<std::string, unsigned long> ids = ReadDefines(defines);
    std::istringstream in(topics);
    std::string line;
    bool inTopic = false;
    unsigned long id = 0;
    std::string text;
    auto finish = [&]() {
        if (inTopic && !text.empty())
            m_texts[id] = text.size() > kMaxText ? text.substr(0, kMaxText) : text;
        inTopic = false;
        text.clear();
    };
    while (std::getline(in, line)) {
        const std::string trimmed = Trim(line);
        if (trimmed.compare(0, 6, ".topic") == 0 && (trimmed.size() == 6 || trimmed[6] == ' ' || trimmed[6] == '\t')) {
            finish();
            const std::string name = Trim(trimmed.substr(6));
            const auto named = ids.find(name);
            if (named != ids.end()) {
                id = named->second;
                inTopic = true;
            } else {
                inTopic = ParseId(name, id);
            }
            continue;
        }
        if (!inTopic)
            continue;
        if (trimmed.empty()) {
            finish();
            continue;
        }
        if (text.size() <= kMaxText)
            text += (text.empty() ? "" : " ") + trimmed;
    }
    finish();
    return static_cast<int>(m_texts.size());
}

const std::string* HelpPopupText::Find(unsigned long helpId) const
{
    const auto found = m_texts.find(helpId);
    return found == m_texts.end() ? nullptr : &found->second;
}
