// A resizable docking bar: docks on any side of the main window or floats, remembers one size for
// the top and bottom sides, one for the left and right sides and one for floating, and puts the
// remembered size back whenever it changes side or floats. Docked, it shows a gripper band with a
// close button; a double click on the band floats or docks it; its context menu offers "Allow
// Docking" and "Hide". The bar's content is replaceable (SetContent); its owners may add the bar's
// two commands to their own context menus.
#pragma once

#include "ui/BarSizes.h"

#include <QAbstractButton>
#include <QDockWidget>

#include <string>
#include <vector>

class QMainWindow;
class QMenu;

namespace tarnwell {

class Profile;
class CSizingControlBar;

// The close button of the gripper: hides the bar when a press that began on it ends on it.
class CBarCloseButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBarCloseButton(QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
};

// The bar's title band: the gripper while docked, a small caption while floating.
class CBarGripper : public QWidget {
    Q_OBJECT
public:
    explicit CBarGripper(CSizingControlBar* bar);
    CBarCloseButton* CloseButton() const { return close_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The band runs down the left side (bar docked on the top or bottom side).
    bool Vertical() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    QRect CloseRect() const;
    CSizingControlBar* bar_;
    CBarCloseButton* close_;
};

class CSizingControlBar : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kAllowDockingId = 32811;
    static constexpr int kHideId = 32812;
    static constexpr int kGripperWidth = 15;
    static constexpr int kEdgeWidth = 5;

    // All three sizes start as `defaultSize`. The bar is not docked yet; the frame docks it.
    CSizingControlBar(const QString& caption, QMainWindow* frame, BarSize defaultSize, bool hasGripper, int barId);
    ~CSizingControlBar() override;

    int BarId() const { return barId_; }
    QMainWindow* Frame() const { return frame_; }
    bool HasGripper() const { return hasGripper_; }
    CBarGripper* Gripper() const { return gripper_; }

    // Puts `content` in the bar's client area (the previous content is deleted).
    void SetContent(QWidget* content);

    BarSide Side() const;
    bool IsHorz() const { return Side() == BarSide::Top || Side() == BarSide::Bottom; }

    // Docking allowed on some side. Switching it off floats a docked bar.
    bool IsDockable() const;
    void SetDockable(bool dockable);

    // "Allow Docking" (checked while docking is allowed) and "Hide", for the bar's and its content's
    // context menus.
    QAction* AllowDockingAction() const { return allowDocking_; }
    QAction* HideAction() const { return hide_; }
    void AddBarCommands(QMenu* menu) const;
    // The bar holding `w`, or null.
    static CSizingControlBar* Of(const QWidget* w);

    const SizingBarSizes& Sizes() const { return sizes_; }
    // Remembers `size` for `side`; applied at once when the bar is there.
    void SetSize(BarSide side, BarSize size);
    // Gives the bar the size remembered for where it is now.
    void ApplySize();
    // A remembered size is being put back; sizes seen meanwhile are the layout's, not the user's.
    bool IsSettling() const { return settling_ > 0; }

    // The six stored values of this bar under "<base>-SCBar-<id>"; loading applies them.
    void LoadState(const Profile& profile, const std::string& base);
    void SaveState(Profile& profile, const std::string& base);
    // Every bar of `frame`, in creation order.
    static std::vector<CSizingControlBar*> Bars(const QMainWindow* frame);
    static void LoadAllStates(const QMainWindow* frame, const Profile& profile, const std::string& base);
    static void SaveAllStates(const QMainWindow* frame, Profile& profile, const std::string& base);

    // Gives `frame` the bars' 5-pixel separators.
    static void UseBarSeparators(QMainWindow* frame);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void OnPlaced();
    void Settle();
    void Capture();
    BarSize Limit(bool floating) const;

    QMainWindow* frame_;
    int barId_;
    bool hasGripper_;
    SizingBarSizes sizes_;
    CBarGripper* gripper_ = nullptr;
    QAction* allowDocking_ = nullptr;
    QAction* hide_ = nullptr;
    BarSide side_ = BarSide::Floating;
    bool placed_ = false;   // side_ is known
    int settling_ = 0;      // pending re-applications; sizes seen meanwhile are not remembered
};

}  // namespace tarnwell
