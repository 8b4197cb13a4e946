#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QPushButton;

// The frameless window's own title bar: drags the window, and offers
// minimize, maximize (also by double-click) and close.
class TitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit TitleBar(QWidget *parent = nullptr);

    // Re-reads the logo and the button icons for the current theme.
    void refreshTheme();

    QPushButton *minimizeButton() const { return m_min; }
    QPushButton *maximizeButton() const { return m_max; }
    QPushButton *closeButton() const { return m_close; }

signals:
    void minimizeRequested();
    void maximizeRequested();
    void closeRequested();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

private:
    QPoint m_dragAnchor;
    bool m_dragging = false;
    QLabel *m_title = nullptr;
    QLabel *m_logo = nullptr;
    QPushButton *m_min = nullptr;
    QPushButton *m_max = nullptr;
    QPushButton *m_close = nullptr;
};
