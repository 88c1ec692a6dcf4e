#include "tools/UXML.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/FileSystem.h"
#include "tools/XMLReader.h"
#include "tools/XmlTreeWriter.h"
#include "ui/GraphicButton.h"
#include "ui/Guard.h"
#include "ui/WindowContext.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "workspace/Workspace.h"

namespace tools {
namespace {

constexpr int kPictureRole = Qt::UserRole + 1;
constexpr int kPictureSize = 16;

// One picture of IiXml: a coloured badge with the kind's sign; the selected
// picture of a pair is the same badge lit and framed.
QPixmap drawPicture(std::uint8_t kind, bool selected) {
    struct Look {
        QColor colour;
        const char* sign;
    };
    static const Look kLooks[] = {
        {QColor(0x6A, 0x7F, 0x93), ""},    // document: a page, drawn below
        {QColor(0x3D, 0x6E, 0x95), "<>"},  // element
        {QColor(0x5E, 0x8C, 0x3A), "="},   // attribute
        {QColor(0xA0, 0x6A, 0x1E), "?"},   // processing instruction
        {QColor(0x7A, 0x4E, 0x8E), "x"},   // XML declaration
    };
    const Look& look = kLooks[kind];
    const QColor fill = selected ? look.colour.lighter(135) : look.colour;

    QPixmap picture(kPictureSize, kPictureSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(selected ? ui::kText : fill.darker(130), 1));
    painter.setBrush(fill);
    if (kind == kXMLDocument) {
        QPainterPath page;
        page.moveTo(2.5, 0.5);
        page.lineTo(10.5, 0.5);
        page.lineTo(13.5, 3.5);
        page.lineTo(13.5, 15.5);
        page.lineTo(2.5, 15.5);
        page.closeSubpath();
        painter.drawPath(page);
        painter.setPen(QPen(Qt::white, 1));
        for (int y = 5; y <= 12; y += 3) painter.drawLine(QPointF(4.5, y + 0.5), QPointF(11.5, y + 0.5));
        return picture;
    }
    painter.drawRoundedRect(QRectF(0.5, 1.5, 15, 13), 3, 3);
    QFont font = ui::programFont(6.5, true);
    font.setPixelSize(kind == kXMLElement ? 8 : 10);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 1, 16, 14), Qt::AlignCenter, QString::fromLatin1(look.sign));
    return picture;
}

QIcon pictureIcon(const QList<QPixmap>& pictures, int index) {
    QIcon icon(pictures[index]);
    icon.addPixmap(pictures[index + 1], QIcon::Selected);
    return icon;
}

// Enables the button again however the handler ends.
class Reenable {
public:
    explicit Reenable(QWidget* button) : m_button(button) { m_button->setEnabled(false); }
    ~Reenable() { m_button->setEnabled(true); }
    Reenable(const Reenable&) = delete;
    Reenable& operator=(const Reenable&) = delete;

private:
    QWidget* m_button;
};

}  // namespace

TFXML::TFXML(QWidget* parent, const ui::WindowContext& context)
    : ui::Form(parent, ui::FormFrame::Sizeable, QStringLiteral("XML Reader & Writer")),
      btnopen(new ui::GraphicButton(QStringLiteral("Open "), this)),
      btnFullExpand(new ui::GraphicButton(QStringLiteral("Full Expand"), this)),
      btnWrite(new ui::GraphicButton(QStringLiteral("Write"), this)),
      TvXml(new QTreeWidget(this)),
      opdXMLFile{QStringLiteral("XML Files (*.xml)"), QStringLiteral("xml"), QString(),
                 QStringLiteral("Open XML File")},
      m_context(context) {
    resize(732, 560);
    for (std::uint8_t kind = kXMLDocument; kind <= kXMLDeclaration; ++kind) {
        IiXml.append(drawPicture(kind, false));
        IiXml.append(drawPicture(kind, true));
    }

    TvXml->setHeaderHidden(true);
    TvXml->setColumnCount(1);
    TvXml->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TvXml->setIconSize(QSize(kPictureSize, kPictureSize));
    TvXml->setAccessibleName(QStringLiteral("XML tree"));
    TvXml->installEventFilter(this);
    TvXml->viewport()->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnopen);
    buttons->addWidget(btnFullExpand);
    buttons->addStretch();
    buttons->addWidget(btnWrite);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addLayout(buttons);
    layout->addWidget(TvXml, 1);

    ui::onClicked(btnopen, this, [this] { btnopenClick(); });
    ui::onClicked(btnFullExpand, this, [this] { btnFullExpandClick(); });
    ui::onClicked(btnWrite, this, [this] { btnWriteClick(); });
}

void TFXML::FormShow() {
    TvXml->clear();
}

void TFXML::btnopenClick() {
    const Reenable enableAgain(btnopen);
    const std::optional<QString> path = ui::Dialogs::openFile(this, opdXMLFile);
    if (!path) return;
    std::unique_ptr<TXMLNode> document = readXmlText(platform::readFile(ui::ss(*path)));
    document->FileName = ui::ss(QFileInfo(*path).fileName());

    TvXml->setUpdatesEnabled(false);
    TvXml->clear();
    addItem(nullptr, *document);
    TvXml->setUpdatesEnabled(true);
}

void TFXML::addItem(QTreeWidgetItem* parent, const TXMLNode& node) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TvXml);
    const int picture = node.Kind * 2;
    item->setText(0, QString::fromUtf8(displayText(node)));
    item->setData(0, kPictureRole, picture);
    item->setIcon(0, pictureIcon(IiXml, picture));
    for (const auto& child : node.Children) addItem(item, *child);
}

void TFXML::btnFullExpandClick() {
    TvXml->expandAll();
}

int TFXML::pictureIndex(const QTreeWidgetItem* item) {
    return item->data(0, kPictureRole).toInt();
}

XmlTreeItem TFXML::treeItemOf(const QTreeWidgetItem* item) {
    XmlTreeItem tree{static_cast<std::uint8_t>(pictureIndex(item) / 2), ui::ss(item->text(0)), {}};
    for (int i = 0; i < item->childCount(); ++i) tree.Children.push_back(treeItemOf(item->child(i)));
    return tree;
}

// A tree that cannot be written is not reported: the user sees no file appear.
void TFXML::btnWriteClick() {
    const Reenable enableAgain(btnWrite);
    const QTreeWidgetItem* top = TvXml->topLevelItem(0);
    if (!top) return;
    try {
        writeXmlTree(treeItemOf(top), m_context.workspace.ProjectDir);
    } catch (const std::exception&) {
    }
}

void TFXML::TvXmlEditItem() {
    const QList<QTreeWidgetItem*> selected = TvXml->selectedItems();
    if (selected.isEmpty() || !m_context.EditText) return;
    QTreeWidgetItem* item = selected.first();
    try {
        if (const std::optional<QString> text = m_context.EditText(item->text(0))) item->setText(0, *text);
    } catch (const std::exception&) {
    }
}

// The right button edits the item already selected; it must not select the
// one under the pointer first.
bool TFXML::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TvXml && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        TvXmlEditItem();
        return true;
    }
    if (watched == TvXml->viewport() && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        TvXmlEditItem();
        return true;
    }
    return ui::Form::eventFilter(watched, event);
}

}  // namespace tools
