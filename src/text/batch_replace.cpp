#include "text/batch_replace.h"

#include <vector>

#include "text/regex_object.h"
#include "text/text_primitives.h"

namespace qm {

namespace {

// The named entities of review pages and their GBK characters, in the order
// they are applied. &amp; comes last so that "&amp;lt;" stays "&lt;".
constexpr std::string_view entity_names =
    "&ndash;|&mdash;|&ldquo;|&rdquo;|&nbsp;|&lt;|&gt;|&quot;|&times;|&divide;|"
    "&middot;|&hellip;|&lsquo;|&rsquo;|&permil;|&prime;|&Prime;|&larr;|&uarr;|&rarr;|"
    "&darr;|&radic;|&prop;|&infin;|&ang;|&and;|&or;|&cap;|&cup;|&int;|"
    "&there4;|&sim;|&asymp;|&ne;|&equiv;|&le;|&ge;|&oplus;|&perp;|&amp;";
constexpr std::string_view entity_characters =
    "\xA8\x43|\xA1\xAA|\xA1\xB0|\xA1\xB1| |<|>|\"|\xA1\xC1|\xA1\xC2|"
    "\xA1\xA4|\xA1\xAD|\xA1\xAE|\xA1\xAF|\xA1\xEB|\xA1\xE4|\xA1\xE5|\xA1\xFB|\xA1\xFC|\xA1\xFA|"
    "\xA1\xFD|\xA1\xCC|\xA1\xD8|\xA1\xDE|\xA1\xCF|\xA1\xC4|\xA1\xC5|\xA1\xC9|\xA1\xC8|\xA1\xD2|"
    "\xA1\xE0|\xA1\xAB|\xA1\xD6|\xA1\xD9|\xA1\xD4|\xA1\xDC|\xA1\xDD|\xA8\x92|\xA1\xCD|&";

constexpr std::string_view leftover_entity_pattern = "&[a-z]+;|&#\\d+;";

}  // namespace

std::string batch_replace(std::string_view text, std::string_view find_list,
                          std::string_view replacement_list, bool case_sensitive,
                          std::string_view list_separator) {
    const std::string_view separator = list_separator.empty() ? std::string_view("|") : list_separator;
    const std::vector<std::string> finds = split_text(find_list, separator);
    const std::vector<std::string> replacements = split_text(replacement_list, separator);
    std::string out(text);
    for (size_t i = 0; i < finds.size(); ++i) {
        const std::string_view with = i < replacements.size() ? std::string_view(replacements[i]) : std::string_view();
        out = replace_text(out, finds[i], with, case_sensitive);
    }
    return out;
}

std::string decode_entities(std::string_view text, bool strip_unknown, RegexObject* leftover) {
    // The same rules in the same order as batch_replace, split once; a rule
    // whose entity is not in the text cannot change it, so it is skipped.
    static const std::vector<std::string> names = split_text(entity_names, "|");
    static const std::vector<std::string> characters = split_text(entity_characters, "|");
    std::string out(text);
    for (size_t i = 0; i < names.size(); ++i) {
        if (out.find('&') == std::string::npos) break;
        if (out.find(names[i]) == std::string::npos) continue;
        out = replace_text(out, names[i], characters[i], true);
    }
    if (!strip_unknown) return out;
    RegexObject local;
    RegexObject& re = leftover ? *leftover : local;
    re.set_pattern(leftover_entity_pattern);
    // A text the engine cannot handle keeps its entities rather than vanishing.
    if (!re.test(out)) return out;
    return re.replace(out, "");
}

}  // namespace qm
