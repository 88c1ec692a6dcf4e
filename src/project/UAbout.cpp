#include "project/UAbout.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/ButtonBar.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/LinkLabel.h"
#include "ui/Logo.h"
#include "ui/Style.h"
#include "workspace/Vendor.h"

namespace project {

TFAbout::TFAbout(QWidget* parent)
    : ui::Form(parent, ui::FormFrame::FixedCloseBox, QStringLiteral("About...")),
      Image2(new ui::LinkLabel(QString(), this, ui::LinkLabel::Look::Plain)),
      Label1(new QLabel(QStringLiteral("Software Tessaro "), this)),
      Label2(new QLabel(QStringLiteral("PROFIBUS Slave / Modbus Slave - Converter"), this)),
      Label6(new QLabel(QStringLiteral("Software Code : "), this)),
      Label9(new QLabel(QStringLiteral("TK48213"), this)),
      Label3(new QLabel(QStringLiteral("Version :"), this)),
      Label10(new QLabel(QString::fromLatin1(workspace::kProgramVersion), this)),
      Label8(new QLabel(QStringLiteral("Document Code :"), this)),
      Label12(new QLabel(QStringLiteral("DC48213"), this)),
      Label4(new ui::LinkLabel(QString::fromLatin1(workspace::kVendorWebAddress), this)),
      Label5(new ui::LinkLabel(QString::fromLatin1(workspace::kVendorEmail), this)) {
    Image2->setPixmap(ui::vendorLogo(81));
    Image2->setFixedSize(81, 81);
    Image2->setScaledContents(true);
    Image2->setAccessibleName(QStringLiteral("Logo"));
    Label1->setFont(ui::programFont(13, true));
    Label5->hide();

    auto* facts = new QGridLayout;
    facts->setHorizontalSpacing(10);
    facts->setVerticalSpacing(4);
    const QList<QPair<QLabel*, QLabel*>> rows{{Label6, Label9}, {Label3, Label10}, {Label8, Label12}};
    for (int row = 0; row < rows.size(); ++row) {
        facts->addWidget(rows[row].first, row, 0);
        facts->addWidget(rows[row].second, row, 1);
        rows[row].second->setFont(ui::programFont(9, true));
    }
    facts->setColumnStretch(2, 1);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addSpacing(10);
    texts->addLayout(facts);

    auto* top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(Image2, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    QFrame* rule = ui::makeRule(this);

    auto* bar = new ui::ButtonBar(this);
    LbButton1 = bar->accept(QStringLiteral("OK"), [this] { accept(); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(bar, 1);
    bottom->addWidget(Label5);
    bottom->addWidget(Label4, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(12);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Reading order: the logo, OK, the web address at the bottom right.
    setTabOrder(Image2, LbButton1);
    setTabOrder(LbButton1, Label4);

    connect(Image2, &ui::LinkLabel::clicked, this, [this] { ui::guarded(this, [this] { Image2Click(); }); });
    connect(Label4, &ui::LinkLabel::clicked, this, [this] { ui::guarded(this, [this] { Label4Click(); }); });
    connect(Label5, &ui::LinkLabel::clicked, this, [this] { ui::guarded(this, [this] { Label5Click(); }); });
}

// Enter closes the window: the focus starts on OK.
void TFAbout::FormFocus() {
    LbButton1->setFocus();
}

void TFAbout::Image2Click() {
    ui::Dialogs::openUrl(QString::fromLatin1(workspace::kProductPage));
}

void TFAbout::Label4Click() {
    ui::Dialogs::openUrl(QString::fromLatin1(workspace::kProductPage));
}

void TFAbout::Label5Click() {
    ui::Dialogs::openUrl(QStringLiteral("mailto:") + QString::fromLatin1(workspace::kVendorEmail));
}

}  // namespace project
