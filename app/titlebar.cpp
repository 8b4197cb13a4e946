#include "app/titlebar.h"

#include "theme/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

static QPushButton *makeTitleButton(QWidget *parent, const char *cls, const QString &tip)
{
    auto *b = new QPushButton(parent);
    b->setProperty("class", cls);
    b->setFlat(true);
    b->setFixedSize(36, 28);
    b->setCursor(Qt::PointingHandCursor);
    b->setIconSize(QSize(13, 13));
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

TitleBar::TitleBar(QWidget *parent) : QWidget(parent)
{
    setObjectName("titleBar");
    setAttribute(Qt::WA_StyledBackground, true);
    setFixedHeight(40);
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(12, 0, 6, 0);
    lay->setSpacing(8);

    m_logo = new QLabel(this);
    m_logo->setFixedSize(22, 22);
    m_title = new QLabel("MIRELO+", this);
    m_title->setObjectName("appTitle");
    auto *dot = new QLabel(this);
    dot->setObjectName("statusDot");
    dot->setFixedSize(8, 8);
    dot->setToolTip("Arka planda aktif");

    m_min = makeTitleButton(this, "titleBtn", "Kucult");
    m_max = makeTitleButton(this, "titleBtn", "Buyut");
    m_close = makeTitleButton(this, "titleBtnClose", "Kapat");

    lay->addWidget(m_logo);
    lay->addWidget(m_title);
    lay->addStretch(1);
    lay->addWidget(dot);
    lay->addSpacing(6);
    lay->addWidget(m_min);
    lay->addWidget(m_max);
    lay->addWidget(m_close);

    connect(m_min, &QPushButton::clicked, this, &TitleBar::minimizeRequested);
    connect(m_max, &QPushButton::clicked, this, &TitleBar::maximizeRequested);
    connect(m_close, &QPushButton::clicked, this, &TitleBar::closeRequested);
    refreshTheme();
}

void TitleBar::refreshTheme()
{
    m_logo->setPixmap(titleLogoPixmap(22));
    m_min->setIcon(themeIcon("min"));
    m_max->setIcon(themeIcon("max"));
    m_close->setIcon(themeIcon("close"));
}

void TitleBar::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_dragAnchor = e->globalPosition().toPoint();
        m_dragging = true;
    }
    QWidget::mousePressEvent(e);
}

void TitleBar::mouseMoveEvent(QMouseEvent *e)
{
    if (m_dragging && (e->buttons() & Qt::LeftButton)) {
        const QPoint now = e->globalPosition().toPoint();
        QWidget *top = window();
        top->move(top->pos() + (now - m_dragAnchor));
        m_dragAnchor = now;
    }
    QWidget::mouseMoveEvent(e);
}

void TitleBar::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(e);
}

void TitleBar::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit maximizeRequested();
    QWidget::mouseDoubleClickEvent(e);
}
