#include "records/customerentryform.h"

#include "platform/guard.h"
#include "records/datamodule.h"
#include "records/dbedit.h"
#include "widgets/windowgeometry.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace corvane {

namespace {

constexpr int OuterWidth = 634;
constexpr int OuterHeight = 289;
constexpr int PanelHeight = 49;
constexpr int ButtonTop = 11;
constexpr QSize ButtonSize(50, 22);
constexpr int EditorHeight = 21;

struct EditorPlace
{
    const char *field;
    const char *label;
    QPoint labelAt;
    QRect editor; // left, top, width (height fixed)
};

// The eight editors in tab order: four rows of two fields.
const EditorPlace editorPlaces[] = {
    {"customercode",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "客户编号："),
     {48, 96},
     {112, 96, 121, EditorHeight}},
    {"customername",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "客户名称："),
     {280, 96},
     {360, 96, 217, EditorHeight}},
    {"address",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "地址："),
     {280, 128},
     {360, 128, 217, EditorHeight}},
    {"code",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "邮政编码："),
     {48, 128},
     {112, 128, 121, EditorHeight}},
    {"person",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "联系人："),
     {48, 160},
     {112, 160, 121, EditorHeight}},
    {"tel",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "电话号码："),
     {280, 192},
     {360, 192, 217, EditorHeight}},
    {"email",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "电子邮件："),
     {280, 160},
     {360, 160, 217, EditorHeight}},
    {"qq",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "QQ号码："),
     {48, 192},
     {112, 192, 121, EditorHeight}},
};

} // namespace

void CustomerEntryForm::buildLayout()
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("客户资料输入"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    setOuterSize(this, OuterWidth, OuterHeight);

    Panel1 = new QFrame(this);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setGeometry(0, 0, width(), PanelHeight);
    const auto toolButton = [this](const QString &caption, int left, bool enabled) {
        auto *button = new QToolButton(Panel1);
        button->setText(caption);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(QRect(QPoint(left, ButtonTop), ButtonSize));
        button->setEnabled(enabled);
        return button;
    };
    n_insert = toolButton(tr("增加"), 8, true);
    n_edit = toolButton(tr("修改"), 69, true);
    n_delete = toolButton(tr("删除"), 130, true);
    n_cancel = toolButton(tr("放弃"), 191, false);
    n_save = toolButton(tr("保存"), 252, false);
    sp1 = toolButton(tr("首张"), 313, true);
    sp2 = toolButton(tr("前张"), 374, true);
    sp3 = toolButton(tr("后张"), 435, true);
    sp4 = toolButton(tr("末张"), 496, true);
    n_exit = toolButton(tr("退出"), 558, true);

    DBEdit **members[] = {&DBEdit1, &DBEdit2, &DBEdit3, &DBEdit4, &DBEdit5, &DBEdit6, &DBEdit7, &DBEdit8};
    DBEdit *previous = nullptr;
    for (std::size_t i = 0; i < std::size(editorPlaces); ++i) {
        const EditorPlace &place = editorPlaces[i];
        auto *label = new QLabel(tr(place.label), this);
        label->move(place.labelAt);
        label->adjustSize();
        auto *editor = new DBEdit(m_data.DataSource1, QString::fromLatin1(place.field), this);
        editor->setGeometry(place.editor);
        editor->setEnabled(false);
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
        // The browse look shows the row to be read: its text stays black on
        // the pale background, not greyed out as a disabled control's would.
        palette.setColor(QPalette::Disabled, QPalette::Text, palette.color(QPalette::Active, QPalette::Text));
        editor->setPalette(palette);
        editor->installEventFilter(this);
        label->setBuddy(editor);
        if (previous)
            setTabOrder(previous, editor);
        previous = editor;
        *members[i] = editor;
    }
}

void CustomerEntryForm::connectHandlers()
{
    const std::pair<QToolButton *, void (CustomerEntryForm::*)()> clicks[] = {
        {n_insert, &CustomerEntryForm::n_insertClick}, {n_edit, &CustomerEntryForm::n_editClick},
        {n_delete, &CustomerEntryForm::n_deleteClick}, {n_cancel, &CustomerEntryForm::n_cancelClick},
        {n_save, &CustomerEntryForm::n_saveClick},     {n_exit, &CustomerEntryForm::n_exitClick},
        {sp1, &CustomerEntryForm::sp1Click},           {sp2, &CustomerEntryForm::sp2Click},
        {sp3, &CustomerEntryForm::sp3Click},           {sp4, &CustomerEntryForm::sp4Click},
    };
    for (const auto &[button, handler] : clicks)
        connect(button, &QToolButton::clicked, this,
                [this, handler = handler] { guarded([&] { (this->*handler)(); }); });
}

std::array<DBEdit *, 8> CustomerEntryForm::editors() const
{
    return {DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8};
}

std::array<QToolButton *, 10> CustomerEntryForm::toolButtons() const
{
    return {n_insert, n_delete, n_edit, n_cancel, n_save, n_exit, sp1, sp2, sp3, sp4};
}

} // namespace corvane
