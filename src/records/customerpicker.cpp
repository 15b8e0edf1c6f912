#include "records/customerpicker.h"

#include "desktop/guard.h"
#include "records/dataset.h"
#include "records/datasetmodel.h"
#include "records/formfont.h"
#include "records/rowgrid.h"
#include "store/customerstore.h"
#include "widgets/facebutton/facebutton.h"
#include "widgets/windowgeometry.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane {

namespace {

constexpr int OuterWidth = 544;
constexpr int OuterHeight = 375;
constexpr int LowerPanelHeight = 82;
constexpr int CodeColumnWidth = 200;
constexpr int NameColumnWidth = 300;
const QColor ButtonColor = QColor::fromRgb(0xD9D6C5);
const QColor ButtonBorderColor = QColor::fromRgb(0x9CB6C5);

QFrame *loweredPanel(QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    return panel;
}

FaceButton *pickerButton(QWidget *parent, const char *name, const QString &caption, int left)
{
    auto *button = new FaceButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 40, 73, 25);
    button->setCaption(caption);
    button->setColor(ButtonColor);
    button->setColorBorder(ButtonBorderColor);
    return button;
}

} // namespace

CustomerPicker::CustomerPicker(CustomerStore &customers, QWidget *parent)
    : QDialog(parent), m_customers(new Dataset(customers.allCustomers(), this)),
      m_model(new DatasetModel(this)), m_upperPanel(loweredPanel(this)), m_lowerPanel(loweredPanel(this)),
      m_list(new RowGrid(m_upperPanel))
{
    setObjectName(QStringLiteral("customerPicker"));
    // No caption. Qt fills an empty title with the application's name; a
    // blank keeps the title bar empty.
    setWindowTitle(QStringLiteral(" "));
    setOuterSize(this, OuterWidth, OuterHeight);
    centreOnScreen(this);

    m_model->addColumn({QStringLiteral("customercode"), tr("客户编码")});
    m_model->addColumn({QStringLiteral("customername"), tr("客户名称")});
    m_model->setDataset(m_customers);
    m_list->setObjectName(QStringLiteral("customerList"));
    m_list->setFont(songTi12());
    m_list->setModel(m_model);
    // A row grid, not a tree or table view: those keep an entry of their own
    // for every row, which for ten million customers takes seconds and a
    // hundred megabytes and more.
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->setRowHeight(m_list->fontMetrics().height() + 4);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->horizontalHeader()->resizeSection(0, CodeColumnWidth);
    m_list->horizontalHeader()->resizeSection(1, NameColumnWidth);
    QPalette listPalette = m_list->palette();
    listPalette.setColor(QPalette::Base, listPalette.color(QPalette::Button));
    m_list->setPalette(listPalette);
    auto *upperLayout = new QVBoxLayout(m_upperPanel);
    upperLayout->setContentsMargins(1, 1, 1, 1);
    upperLayout->addWidget(m_list);

    m_lowerPanel->setFixedHeight(LowerPanelHeight);
    m_lowerPanel->setFont(songTi12());
    auto *hint = new QLabel(
        tr("只要双击所需的客户行即可完成输入。或者先单击所需的客户行，再点击OK按钮也可以。"), m_lowerPanel);
    hint->move(16, 16);
    hint->adjustSize();
    m_okButton = pickerButton(m_lowerPanel, "okButton", tr("OK"), 128);
    m_cancelButton = pickerButton(m_lowerPanel, "cancelButton", tr("Cancel"), 320);
    setTabOrder(m_okButton, m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_upperPanel);
    layout->addWidget(m_lowerPanel);

    connect(m_okButton, &FaceButton::clicked, this, [this] { guarded([this] { choose(); }); });
    connect(m_cancelButton, &FaceButton::clicked, this, [this] { guarded([this] { reject(); }); });
    connect(m_list, &RowGrid::doubleClicked, this, [this] { guarded([this] { choose(); }); });
}

CustomerPicker::~CustomerPicker()
{
    m_customers->close();
}

QString CustomerPicker::chosenCode() const
{
    return m_chosenCode;
}

void CustomerPicker::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { onShown(); });
}

void CustomerPicker::reject()
{
    done(int(ModalResult::Cancel));
}

void CustomerPicker::done(int result)
{
    QDialog::done(result);
    m_customers->close();
}

void CustomerPicker::onShown()
{
    // The list shows the rows of the open query as they come into view: making
    // an item of each of a million customers would take seconds. Rows added
    // while it is shown do not appear in it.
    m_customers->close();
    m_customers->open();
}

void CustomerPicker::choose()
{
    // Without a selected row there is no code to hand back: the picker stays
    // open, since its caller takes OK to mean a code was chosen.
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    m_customers->moveTo(selected.first().row());
    m_chosenCode = m_customers->fieldText(QStringLiteral("customercode"));
    done(int(ModalResult::Ok));
}

} // namespace corvane
