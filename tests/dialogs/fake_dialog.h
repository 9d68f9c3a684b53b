// A dialog window in memory: list boxes that behave as the window system's
// do for what the dialogs use, static texts, a scripted answer to the
// question box, and the result the dialog ended with (0 while open).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"

namespace quorrin::test {

struct FakeDialog : DialogControls {
    struct List {
        std::vector<std::string> lines;
        int selected = -1;
        std::vector<int> tabStops;
    };
    std::map<int, std::string> texts;
    std::map<int, List> lists;
    bool answer = false;
    std::vector<std::string> questions;  // "text|caption" of each one asked
    int result = 0;

    void setText(int control, const std::string& text) override { texts[control] = text; }
    void setTabStops(int list, const int* stops, int count) override {
        lists[list].tabStops.assign(stops, stops + count);
    }
    void clearList(int list) override { lists[list] = List{{}, -1, lists[list].tabStops}; }
    void addLine(int list, const std::string& line) override { lists[list].lines.push_back(line); }
    // An index outside the list selects nothing.
    void selectLine(int list, int index) override {
        List& l = lists[list];
        l.selected = (index >= 0 && index < static_cast<int>(l.lines.size())) ? index : -1;
    }
    int selectedLine(int list) const override {
        return lists.count(list) != 0 ? lists.at(list).selected : -1;
    }
    std::string lineText(int list, int index) const override {
        return lists.at(list).lines.at(static_cast<std::size_t>(index));
    }
    bool confirm(const char* text, const char* caption) override {
        questions.push_back(std::string(text) + "|" + caption);
        return answer;
    }
    void end(int value) override { result = value; }
};

}  // namespace quorrin::test
