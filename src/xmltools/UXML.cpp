#include "xmltools/UXML.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <string_view>

#include "platform/EncodedText.h"
#include "platform/FileSystem.h"
#include "ui/GraphicButton.h"
#include "ui/Guard.h"
#include "ui/QtText.h"
#include "ui/Style.h"
#include "ui/WindowContext.h"
#include "workspace/Workspace.h"
#include "xmltools/XMLReader.h"
#include "xmltools/XmlTreeWriter.h"

namespace xmltools {
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

// The reader gives bytes; the tree shows characters, decoded as the document
// says it is written. Bytes that are no UTF-8 in a UTF-8 document (a file
// saved by an older editor in a one-byte code page) are taken one by one as
// Windows-1252, so that every byte shows as a character and is written back
// as that same character, never as a replacement character.
enum class Decoding { Utf8, Latin1, Windows1252 };

Decoding decodingOf(const TXMLNode& document) {
    for (const auto& child : document.Children) {
        if (child->Kind != kXMLDeclaration) continue;
        for (const auto& attribute : child->Children) {
            if (attribute->Name != "encoding") continue;
            std::string name;
            for (char c : attribute->Value) {
                if (c != ' ') name += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            }
            for (const char* latin1 : {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "latin-1", "l1"}) {
                if (name == latin1) return Decoding::Latin1;
            }
            if (name == "windows-1252" || name == "cp1252") return Decoding::Windows1252;
        }
    }
    return Decoding::Utf8;
}

// Windows-1252 from 0x80 to 0x9F; its five unassigned bytes stay the control
// characters of the same code, as in Latin-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t windows1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t(byte);
}

QString decoded(std::string_view text, Decoding decoding) {
    QString characters;
    characters.reserve(static_cast<qsizetype>(text.size()));
    std::size_t at = 0;
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (decoding == Decoding::Latin1) {
            characters += QChar(byte);
            ++at;
            continue;
        }
        const std::size_t length = decoding == Decoding::Utf8 ? platform::utf8SequenceLength(text, at) : 0;
        if (length == 0) {
            characters += QChar(windows1252(byte));
            ++at;
        } else {
            characters += QString::fromUtf8(text.data() + at, static_cast<qsizetype>(length));
            at += length;
        }
    }
    return characters;
}

QTreeWidgetItem* addTreeItem(QTreeWidget* tree, QTreeWidgetItem* parent, const QList<QPixmap>& pictures,
                             std::uint8_t kind, const QString& text) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    const int picture = kind * 2;
    item->setText(0, text);
    item->setData(0, kPictureRole, picture);
    item->setIcon(0, pictureIcon(pictures, picture));
    return item;
}

// The item of node and the items of all below it, depth first in order.
void addTreeItems(QTreeWidget* tree, QTreeWidgetItem* parent, const QList<QPixmap>& pictures, const TXMLNode& node,
                  Decoding decoding) {
    QTreeWidgetItem* item = addTreeItem(tree, parent, pictures, node.Kind, decoded(displayText(node), decoding));
    for (const auto& child : node.Children) addTreeItems(tree, item, pictures, *child, decoding);
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
    const Decoding decoding = decodingOf(*document);

    TvXml->setUpdatesEnabled(false);
    TvXml->clear();
    // The file name is the system's text, not the document's.
    QTreeWidgetItem* top =
        addTreeItem(TvXml, nullptr, IiXml, kXMLDocument, QStringLiteral("File: ") + QFileInfo(*path).fileName());
    for (const auto& child : document->Children) addTreeItems(TvXml, top, IiXml, *child, decoding);
    TvXml->setUpdatesEnabled(true);
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

}  // namespace xmltools
