#include "window/ListOverlay.h"

#include "qt/ResourceFiles.h"

#include <QBitmap>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>

#include <utility>

namespace kesto {

namespace {

// Draws the grid lines and, without full-row selection, the selection on the first
// column only, as a report list does.
class ListItemDelegate : public QStyledItemDelegate {
public:
    explicit ListItemDelegate(ListOverlay* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem item(option);
        if (!m_list->fullRowSelect() && index.column() > 0)
            item.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, item, index);
        if (m_list->gridLines()) {
            painter->save();
            painter->setPen(QColor(0xD7, 0xDE, 0xE6));
            painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
            painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
            painter->restore();
        }
    }

private:
    ListOverlay* m_list;
};

// The same picture on a selected row: the images carry their meaning in their colours.
QIcon RowIcon(const QPixmap& pixmap)
{
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

} // namespace

ListOverlay::ListOverlay(int controlId, QString resourceDir, QWidget* parent)
    : QTreeWidget(parent), m_controlId(controlId), m_resourceDir(std::move(resourceDir))
{
    setObjectName(QStringLiteral("list%1").arg(controlId));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new ListItemDelegate(this));
    // The page draws the frame around the list; the list takes the pages' colours.
    setFrameShape(QFrame::NoFrame);
    setStyleSheet(QStringLiteral(
        "QTreeWidget { background: #ffffff; color: #1f2a37; border: none; font-size: 12px;"
        " selection-background-color: #1f6fb2; selection-color: #ffffff; outline: 0; }"
        "QHeaderView::section { background: #f3f6f9; color: #5b6b7c; font-size: 12px;"
        " font-weight: 600; padding: 3px 6px; border: none; border-right: 1px solid #d7dee6;"
        " border-bottom: 1px solid #d7dee6; }"));
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    hide();

    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        Report(ListEvent::Click, indexOfTopLevelItem(item));
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        Report(ListEvent::DoubleClick, indexOfTopLevelItem(item));
    });
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int column) { Report(ListEvent::HeaderClick, column); });
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { Report(std::nullopt, -1); });
}

void ListOverlay::Report(std::optional<ListEvent> event, int index)
{
    if (!m_applying && onEvent)
        onEvent(event, index);
}

void ListOverlay::mousePressEvent(QMouseEvent* event)
{
    if (!itemAt(event->position().toPoint())) {
        // Empty space: the selection goes, and the click is reported with row -1.
        clearSelection();
        Report(ListEvent::Click, -1);
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void ListOverlay::SetImages(int bitmap, int width, int height, unsigned transparentRgb)
{
    m_images.clear();
    if (width <= 0 || height <= 0)
        return;
    setIconSize(QSize(width, height));
    const QString strip = ImageFile(m_resourceDir, bitmap);
    if (!strip.isEmpty() && strip.endsWith(QStringLiteral(".png"))) {
        QPixmap all(strip);
        const QBitmap mask =
            all.createMaskFromColor(QColor::fromRgb(transparentRgb & 0xFFFFFFu), Qt::MaskInColor);
        all.setMask(mask);
        for (int x = 0; x + width <= all.width(); x += width)
            m_images.push_back(RowIcon(all.copy(x, 0, width, height)));
    } else {
        for (int n = 0;; ++n) {
            const QString file = StripImageFile(m_resourceDir, bitmap, n);
            if (!QFileInfo::exists(file))
                break;
            m_images.push_back(RowIcon(QPixmap(file)));
        }
    }
}

void ListOverlay::SetColumns(const std::vector<ListColumn>& columns)
{
    m_applying = true;
    clear();
    setColumnCount(static_cast<int>(columns.size()));
    m_centred.assign(columns.size(), false);
    QStringList headings;
    for (const ListColumn& column : columns)
        headings << QString::fromStdString(column.heading);
    setHeaderLabels(headings);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        const bool centred = columns[static_cast<std::size_t>(i)].centred;
        m_centred[static_cast<std::size_t>(i)] = centred;
        setColumnWidth(i, std::max(0, columns[static_cast<std::size_t>(i)].width));
        headerItem()->setTextAlignment(i, centred ? Qt::AlignCenter
                                                  : Qt::AlignLeft | Qt::AlignVCenter);
    }
    m_applying = false;
}

void ListOverlay::SetRows(const std::vector<ListRow>& rows)
{
    m_applying = true;
    clear();
    QList<QTreeWidgetItem*> items;
    for (const ListRow& row : rows) {
        const std::vector<std::string>& texts = row.texts;
        auto* item = new QTreeWidgetItem;
        for (int column = 0; column < columnCount(); ++column) {
            const auto at = static_cast<std::size_t>(column);
            item->setText(column,
                          at < texts.size() ? QString::fromStdString(texts[at]) : QString());
            const bool centred = static_cast<std::size_t>(column) < m_centred.size() &&
                                 m_centred[static_cast<std::size_t>(column)];
            item->setTextAlignment(column,
                                   centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        }
        const int image = row.imageIndex;
        if (image >= 0 && static_cast<std::size_t>(image) < m_images.size())
            item->setIcon(0, m_images[static_cast<std::size_t>(image)]);
        items.append(item);
    }
    addTopLevelItems(items);
    m_applying = false;
}

void ListOverlay::SetGridLines(bool on)
{
    m_gridLines = on;
    viewport()->update();
}

void ListOverlay::SetFullRowSelect(bool on)
{
    m_fullRowSelect = on;
    viewport()->update();
}

void ListOverlay::SelectRows(const std::vector<int>& rows)
{
    m_applying = true;
    clearSelection();
    for (int row : rows) {
        if (QTreeWidgetItem* item = topLevelItem(row))
            item->setSelected(true);
    }
    m_applying = false;
}

std::vector<int> ListOverlay::SelectedRows() const
{
    std::vector<int> rows;
    for (QTreeWidgetItem* item : selectedItems())
        rows.push_back(indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace kesto
