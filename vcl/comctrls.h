// The status bar: fixed-width panels along the bottom of a window, or one simple panel.
#pragma once

#include "vcl/controls.h"

#include <string>
#include <vector>

namespace vcl {

class TStatusBar;

class TStatusPanel {
public:
    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    int Width() const { return width_; }
    void SetWidth(int width);

private:
    friend class TStatusPanels;
    TStatusBar* bar_ = nullptr;
    std::string text_;
    int width_ = 50;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* bar) : bar_(bar) {}
    TStatusPanel* Add();
    int Count() const { return static_cast<int>(panels_.size()); }
    TStatusPanel* Items(int index) { return &panels_.at(index); }
    const TStatusPanel* Items(int index) const { return &panels_.at(index); }
    TStatusPanel* operator[](int index) { return Items(index); }

private:
    TStatusBar* bar_;
    std::vector<TStatusPanel> panels_;
};

// Panels keep their widths from the left; the last one takes whatever is left of the bar.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);

    TStatusPanels* Panels() { return &panels_; }
    const TStatusPanels* Panels() const { return &panels_; }
    // With SimplePanel on, the bar shows only SimpleText across its width.
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool simple);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(std::string text);

    // The rectangle of panel i as drawn.
    QRect PanelRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TStatusPanels panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
};

} // namespace vcl
