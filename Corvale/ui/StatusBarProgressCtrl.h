#pragma once
// A progress bar drawn into the main window's status bar during long work
// (loading, exports, scripts): an optional label, then a sunken bar of 100
// pixels filled from the left by the percentage. It lives on a thin layer
// over the status bar's left end, which passes the mouse through, and goes
// with the object.

#include <QPointer>
#include <QRect>
#include <QString>

class QStatusBar;
class QWidget;

class CStatusBarProgressCtrl {
public:
    // The progress colour, orange (RGB 255, 128, 0).
    static const unsigned kProgressColor = 0x0080FF;  // 0x00BBGGRR

    // On the status bar of the application's main window; without a main
    // window or status bar the object does nothing.
    CStatusBarProgressCtrl();
    explicit CStatusBarProgressCtrl(QStatusBar* statusBar);
    virtual ~CStatusBarProgressCtrl();
    CStatusBarProgressCtrl(const CStatusBarProgressCtrl&) = delete;
    CStatusBarProgressCtrl& operator=(const CStatusBarProgressCtrl&) = delete;

    // Sets the percentage (clamped to 0-100) and draws the bar at once;
    // nothing happens when it is the current one.
    void SetPos(int percent);
    int GetPos() const { return m_Percent; }
    // The label before the bar, drawn at once.
    void SetText(const QString& label);
    QString GetText() const { return m_Label; }

    // The layer drawn on (null without a status bar), and how often the bar
    // was drawn at once: tests check that repeated positions draw nothing.
    QWidget* Layer() const;
    int DrawCount() const { return m_Draws; }

private:
    class CLayer;

    void Place();

    void Draw();

    int m_Percent = 0;
    int m_Draws = 0;
    QString m_Label;
    QPointer<QStatusBar> m_StatusBar;
    QPointer<CLayer> m_Layer;
};
