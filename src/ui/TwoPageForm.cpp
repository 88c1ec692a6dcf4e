#include "ui/TwoPageForm.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/ButtonBar.h"

namespace ui {

TwoPageForm::TwoPageForm(QWidget* parent, const QString& caption, const QString& firstPage, const QString& secondPage,
                         std::function<void()> ok)
    : Form(parent, FormFrame::Sizeable, caption) {
    setSizeGripEnabled(true);
    PageControl1 = new QTabWidget(this);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet1, firstPage);
    PageControl1->addTab(TabSheet2, secondPage);

    m_bar = new ButtonBar(this);
    m_ok = m_bar->accept(QStringLiteral("OK"), std::move(ok));
    m_cancel = m_bar->reject(QStringLiteral("Cancel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(m_bar);
}

}  // namespace ui
