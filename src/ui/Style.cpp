#include "ui/Style.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QPalette>
#include <QScreen>
#include <QStyleFactory>
#include <QWidget>

#include "ui/GroupBoxNames.h"

namespace ui {

QString fontFamily() {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        return families.contains(QStringLiteral("Verdana")) ? QStringLiteral("Verdana") : QStringLiteral("DejaVu Sans");
    }();
    return family;
}

QFont programFont(qreal pointSize, bool bold) {
    QFont font(fontFamily());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void applyLooks(QApplication& application) {
    announceGroupBoxesByTitle();
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    application.setFont(programFont(9));

    QPalette palette = application.palette();
    palette.setColor(QPalette::Window, kBackground);
    palette.setColor(QPalette::WindowText, kText);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, kBackground);
    palette.setColor(QPalette::Text, kText);
    palette.setColor(QPalette::Button, kBackground);
    palette.setColor(QPalette::ButtonText, kText);
    palette.setColor(QPalette::Highlight, kAccent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, Qt::white);
    palette.setColor(QPalette::ToolTipText, kText);
    palette.setColor(QPalette::Link, kLink);
    application.setPalette(palette);

    application.setStyleSheet(QStringLiteral(
        "QLineEdit { background: white; border: 1px solid #C9C3A6; border-radius: 3px; padding: 2px 5px; "
        "  min-height: 18px; }"
        "QLineEdit:focus { border-color: #3D6E95; }"
        "QComboBox { background: white; border: 1px solid #C9C3A6; border-radius: 3px; padding: 2px 6px; "
        "  min-height: 18px; selection-background-color: #3D6E95; selection-color: white; }"
        // (the selection colours are those of the open list's item under the pointer)
        "QComboBox:disabled { background: #EFEDE2; color: #8A8678; }"
        "QComboBox:focus { border-color: #3D6E95; }"
        "QGroupBox { border: 1px solid #C9C3A6; border-radius: 4px; margin-top: 9px; padding-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 9px; padding: 0 2px; color: #3D6E95; "
        "  font-weight: bold; }"
        "QTabWidget::pane { border: 1px solid #C9C3A6; top: -1px; background: #F8F7ED; }"
        "QTabBar::tab { background: #ECE9D8; border: 1px solid #C9C3A6; padding: 5px 12px; margin-right: 2px; "
        "  border-top-left-radius: 4px; border-top-right-radius: 4px; }"
        "QTabBar::tab:selected { background: #F8F7ED; border-bottom-color: #F8F7ED; font-weight: bold; }"
        "QHeaderView::section { background: #ECE9D8; color: #333333; border: 0; border-right: 1px solid #C9C3A6; "
        "  border-bottom: 1px solid #C9C3A6; padding: 2px 4px; }"
        "QTableView { gridline-color: #D8D3BD; selection-background-color: #3D6E95; }"
        "QTreeView { background: white; border: 1px solid #C9C3A6; }"
        "QToolTip { border: 1px solid #C9C3A6; }"));
}

QFrame* makeRule(QWidget* parent) {
    auto* rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setStyleSheet(QStringLiteral("color: %1;").arg(kFrame.name()));
    return rule;
}

QFrame* makeFrame(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setObjectName(QStringLiteral("plainFrame"));
    // Only the frame itself: the controls inside keep their own looks.
    frame->setStyleSheet(
        QStringLiteral("QFrame#plainFrame { border: 1px solid %1; border-radius: 3px; }").arg(kFrame.name()));
    return frame;
}

void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

}  // namespace ui
