#pragma once

#include <QList>
#include <QPixmap>

#include "ui/Dialogs.h"
#include "ui/Form.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace ui {
class GraphicButton;
struct WindowContext;
}  // namespace ui
namespace xmltools {
struct TXMLNode;
struct XmlTreeItem;
}  // namespace xmltools

namespace xmltools {

// The XML Reader & Writer window: any XML file as a tree, read with the
// program's own reader; item texts edited through the New project dialog in
// its text mode; the tree written back into the project folder.
class TFXML : public ui::Form {
    Q_OBJECT
public:
    TFXML(QWidget* parent, const ui::WindowContext& context);

    void btnopenClick();
    void btnFullExpandClick();
    void btnWriteClick();
    // F2 or the right mouse button: edits the text of the selected item.
    void TvXmlEditItem();

    // The item's picture in IiXml: twice the kind of the node it shows; the
    // selected picture is the next one.
    static int pictureIndex(const QTreeWidgetItem* item);

    ui::GraphicButton* btnopen;
    ui::GraphicButton* btnFullExpand;
    ui::GraphicButton* btnWrite;
    QTreeWidget* TvXml;
    // Ten pictures, a pair per kind: document, element, attribute, processing
    // instruction, XML declaration.
    QList<QPixmap> IiXml;
    ui::FileChooserSettings opdXMLFile;

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static XmlTreeItem treeItemOf(const QTreeWidgetItem* item);

    const ui::WindowContext& m_context;
};

}  // namespace xmltools
