// HelpPopupText: the popup texts of the help file, by help id. The help file
// carries them as cshelp.txt (".topic NAME" lines, each followed by its text)
// and cshelp.h ("#define NAME VALUE" lines giving each name its help id), the
// form HTML Help's text popups use. Window-free.
#pragma once

#include <map>
#include <string>

class HelpPopupText {
public:
    // The longest text kept for one help id; a longer one is cut there.
    static constexpr size_t kMaxText = 2048;

    // Reads the two files' contents, replacing what was read before; answers
    // the number of texts found. Names without a #define, and .topic lines
    // without a name, are skipped; a later text for the same id replaces an
    // earlier one.
    int Parse(const std::string& topics, const std::string& defines);

    // The text for helpId, or nullptr when there is none.
    const std::string* Find(unsigned long helpId) const;
    size_t Count() const { return m_texts.size(); }

private:
    std::map<unsigned long, std::string> m_texts;
};
