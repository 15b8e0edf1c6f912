#include "records/customerpicker.h"

#include "platform/guard.h"
#include "records/dataset.h"
#include "records/datasetmodel.h"
#include "records/formfont.h"
#include "widgets/facebutton/facebutton.h"
#include "widgets/windowgeometry.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

namespace corvane {

QString PickedCustomerCode;

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

FaceButton *pickerButton(QWidget *parent, const QString &caption, int left)
{
    auto *button = new FaceButton(parent);
    button->setGeometry(left, 40, 73, 25);
    button->setCaption(caption);
    button->setColor(ButtonColor);
    button->setColorBorder(ButtonBorderColor);
    return button;
}

} // namespace

CustomerPicker::CustomerPicker(Dataset &customers, QWidget *parent)
    : QDialog(parent), m_customers(customers), m_model(new DatasetModel(this)),
      m_upperPanel(loweredPanel(this)), m_lowerPanel(loweredPanel(this))
{
    setObjectName(QStringLiteral("Frm_customerquery"));
    // No caption. Qt fills an empty title with the application's name; a
    // blank keeps the title bar empty.
    setWindowTitle(QStringLiteral(" "));
    setOuterSize(this, OuterWidth, OuterHeight);
    centreOnScreen(this);

    m_model->addColumn({QStringLiteral("customercode"), tr("客户编码")});
    m_model->addColumn({QStringLiteral("customername"), tr("客户名称")});
    m_model->setDataset(&m_customers);
    ListView = new QTreeView(m_upperPanel);
    ListView->setFont(songTi12());
    ListView->setModel(m_model);
    ListView->setRootIsDecorated(false);
    ListView->setItemsExpandable(false);
    // One fixed row height: the view never measures a million rows.
    ListView->setUniformRowHeights(true);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setSortingEnabled(false);
    ListView->header()->setStretchLastSection(false);
    ListView->header()->resizeSection(0, CodeColumnWidth);
    ListView->header()->resizeSection(1, NameColumnWidth);
    QPalette listPalette = ListView->palette();
    listPalette.setColor(QPalette::Base, listPalette.color(QPalette::Button));
    ListView->setPalette(listPalette);
    auto *upperLayout = new QVBoxLayout(m_upperPanel);
    upperLayout->setContentsMargins(1, 1, 1, 1);
    upperLayout->addWidget(ListView);

    m_lowerPanel->setFixedHeight(LowerPanelHeight);
    m_lowerPanel->setFont(songTi12());
    Label1 = new QLabel(tr("只要双击所需的客户行即可完成输入。或者先单击所需的客户行，再点击OK按钮也可以。"),
                        m_lowerPanel);
    Label1->move(16, 16);
    Label1->adjustSize();
    FaceButton1 = pickerButton(m_lowerPanel, tr("OK"), 128);
    FaceButton2 = pickerButton(m_lowerPanel, tr("Cancel"), 320);
    setTabOrder(FaceButton1, FaceButton2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_upperPanel);
    layout->addWidget(m_lowerPanel);

    connect(FaceButton1, &FaceButton::clicked, this, [this] { guarded([this] { FaceButton1Click(); }); });
    connect(FaceButton2, &FaceButton::clicked, this, [this] { guarded([this] { FaceButton2Click(); }); });
    connect(ListView, &QTreeView::doubleClicked, this, [this] { guarded([this] { ListViewDblClick(); }); });
}

CustomerPicker::~CustomerPicker()
{
    m_customers.close();
}

void CustomerPicker::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void CustomerPicker::reject()
{
    done(int(ModalResult::Cancel));
}

void CustomerPicker::done(int result)
{
    QDialog::done(result);
    m_customers.close();
}

void CustomerPicker::FormShow()
{
    // The list shows the rows of the open query as they come into view: making
    // an item of each of a million customers would take seconds. The query is a
    // snapshot, so the list stays as it was at showing.
    m_customers.close();
    m_customers.open();
}

void CustomerPicker::FaceButton1Click()
{
    choose();
}

void CustomerPicker::FaceButton2Click()
{
    reject();
}

void CustomerPicker::ListViewDblClick()
{
    choose();
}

void CustomerPicker::choose()
{
    // Without a selected row there is no code to hand back: the picker stays
    // open, since its caller takes OK to mean a code was chosen.
    const QModelIndexList selected = ListView->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    m_customers.moveTo(selected.first().row());
    PickedCustomerCode = m_customers.fieldText(QStringLiteral("customercode"));
    done(int(ModalResult::Ok));
}

} // namespace corvane
