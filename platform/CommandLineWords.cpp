#include "platform/CommandLineWords.h"

namespace platform {

bool splitCommandLine(const std::string& text, std::vector<std::string>& words) {
    std::vector<std::string> found;
    std::string word;
    bool inWord = false; // a quoted empty word counts too
    bool quoted = false;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\\') {
            size_t run = 0;
            while (i < text.size() && text[i] == '\\') {
                ++run;
                ++i;
            }
            const bool beforeQuote = i < text.size() && text[i] == '"';
            word.append(beforeQuote ? run / 2 : run, '\\');
            if (beforeQuote && run % 2 == 1) {
                word += '"';
                ++i;
            }
            inWord = true;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
            ++i;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                found.push_back(word);
            word.clear();
            inWord = false;
            ++i;
        } else {
            word += c;
            inWord = true;
            ++i;
        }
    }
    if (quoted)
        return false;
    if (inWord)
        found.push_back(word);
    words.swap(found);
    return true;
}

} // namespace platform
