#include "tools/demo-run/input_script.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

#include "tools/demo-run/quoting.h"
#include "tools/demo-run/run_options.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

const std::map<std::string, int>& NamedKeys() {
    static const std::map<std::string, int> keys = {
        {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE}, {"UP", VK_UP},     {"DOWN", VK_DOWN},
        {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT}, {"HOME", VK_HOME}, {"END", VK_END},
        {"ADD", VK_ADD},       {"SUBTRACT", VK_SUBTRACT},
    };
    return keys;
}

const std::map<std::string, ScriptEvent::Kind>& ButtonEvents() {
    static const std::map<std::string, ScriptEvent::Kind> events = {
        {"ldown", ScriptEvent::kLeftDown},   {"lup", ScriptEvent::kLeftUp}, {"rdown", ScriptEvent::kRightDown},
        {"rup", ScriptEvent::kRightUp},      {"close", ScriptEvent::kClose},
    };
    return events;
}

// Reads "EVENT [ARGS]" after the frame number; false with the reason in *error.
bool ParseEvent(std::istringstream& words, ScriptEvent* event, std::string* error) {
    std::string name;
    words >> name;
    std::vector<std::string> arguments;
    for (std::string word; words >> word;) arguments.push_back(word);
    const size_t wanted = name == "down" || name == "up" ? 1 : name == "move" ? 2 : 0;
    if (name == "down" || name == "up") {
        event->kind = name == "down" ? ScriptEvent::kKeyDown : ScriptEvent::kKeyUp;
        event->virtualKey = arguments.empty() ? 0 : VirtualKeyOfName(arguments[0]);
        if (event->virtualKey == 0) {
            *error = arguments.empty() ? name + " needs a key" : "unknown key " + QuotedWord(arguments[0]);
            return false;
        }
    } else if (name == "move") {
        long long x = 0, y = 0;
        if (arguments.size() != 2 || !ParseInteger(arguments[0], -100000, 100000, &x) ||
            !ParseInteger(arguments[1], -100000, 100000, &y)) {
            *error = "move needs two whole numbers X Y";
            return false;
        }
        event->kind = ScriptEvent::kMove;
        event->x = static_cast<int>(x);
        event->y = static_cast<int>(y);
    } else if (ButtonEvents().count(name) != 0) {
        event->kind = ButtonEvents().at(name);
    } else {
        *error = name.empty() ? "missing event after the frame number" : "unknown event " + QuotedWord(name);
        return false;
    }
    if (arguments.size() > wanted) {
        *error = "unexpected " + QuotedWord(arguments[wanted]) + " after " + name;
        return false;
    }
    return true;
}

}  // namespace

int VirtualKeyOfName(const std::string& name) {
    const std::string key = Upper(name);
    if (key.size() == 1 && (std::isupper(static_cast<unsigned char>(key[0])) || std::isdigit(static_cast<unsigned char>(key[0]))))
        return key[0];  // letters and digits are their own virtual-key codes
    long long number = 0;
    if (key.size() >= 2 && key[0] == 'F' && ParseInteger(key.substr(1), 1, 12, &number))
        return VK_F1 + static_cast<int>(number) - 1;
    const auto found = NamedKeys().find(key);
    return found == NamedKeys().end() ? 0 : found->second;
}

bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string frameWord;
        if (!(words >> frameWord)) continue;
        ScriptEvent event;
        long long frame = 0;
        std::string reason;
        if (!ParseInteger(frameWord, 1, 100000000, &frame)) {
            reason = "the frame must be a number from 1, not " + QuotedWord(frameWord);
        } else if (ParseEvent(words, &event, &reason)) {
            event.frame = static_cast<int>(frame);
            events->push_back(event);
            continue;
        }
        *error = "line " + std::to_string(lineNumber) + ": " + reason;
        return false;
    }
    std::stable_sort(events->begin(), events->end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    return true;
}
