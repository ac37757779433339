#pragma once
// The Tip of the Day: the 28 numbered tips and what the tip window remembers between runs.

#include <QString>

namespace glyphary {

class Settings;

constexpr int kFirstTip = 1;
constexpr int kTipCount = 28;

struct Tip {
    const char* category;
    const char* text;
};

bool isTipNumber(int number);
// Tip `number` (1 to 28); any other number gives the first tip.
const Tip& tipAt(int number);
// "Tip " + number + ". " + category.
QString tipTitle(int number);
QString tipText(int number);
// The tip after `number`: after 28 comes 1 (and after a number out of range, too).
int nextTip(int number);

// State of the tip window: whether tips show at start-up and which tip is on screen.
class TipState {
public:
    explicit TipState(Settings& settings) : settings_(settings) {}

    // "Tip" absent or 1 ticks the box; "TipNR" gives the current tip, 1 when absent or out of range.
    void load();
    void next() { current_ = nextTip(current_); }

    // Remembers the tip after the current one and the box's state, both as 32-bit numbers.
    void close(bool showOnStartup);

    bool showOnStartup() const { return showOnStartup_; }
    int current() const { return current_; }
    QString title() const { return tipTitle(current_); }
    QString text() const { return tipText(current_); }

private:
    Settings& settings_;
    bool showOnStartup_ = true;
    int current_ = kFirstTip;
};

} // namespace glyphary
