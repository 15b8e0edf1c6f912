#include "records/customerentryform.h"

#include "desktop/guard.h"
#include "records/dataset.h"
#include "records/dbedit.h"
#include "widgets/windowgeometry.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include <functional>

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
    const char *name;
    const char *field;
    const char *label;
    QPoint labelAt;
    QRect editor; // left, top, width (height fixed)
};

// The eight editors in tab order: four rows of two fields.
const EditorPlace editorPlaces[] = {
    {"customerCodeEdit",
     "customercode",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "客户编号："),
     {48, 96},
     {112, 96, 121, EditorHeight}},
    {"customerNameEdit",
     "customername",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "客户名称："),
     {280, 96},
     {360, 96, 217, EditorHeight}},
    {"addressEdit",
     "address",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "地址："),
     {280, 128},
     {360, 128, 217, EditorHeight}},
    {"postcodeEdit",
     "code",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "邮政编码："),
     {48, 128},
     {112, 128, 121, EditorHeight}},
    {"contactEdit",
     "person",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "联系人："),
     {48, 160},
     {112, 160, 121, EditorHeight}},
    {"telEdit",
     "tel",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "电话号码："),
     {280, 192},
     {360, 192, 217, EditorHeight}},
    {"emailEdit",
     "email",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "电子邮件："),
     {280, 160},
     {360, 160, 217, EditorHeight}},
    {"qqEdit",
     "qq",
     QT_TRANSLATE_NOOP("corvane::CustomerEntryForm", "QQ号码："),
     {48, 192},
     {112, 192, 121, EditorHeight}},
};

} // namespace

void CustomerEntryForm::buildLayout()
{
    setObjectName(QStringLiteral("customerEntryForm"));
    setWindowTitle(tr("客户资料输入"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    setOuterSize(this, OuterWidth, OuterHeight);

    m_toolPanel = new QFrame(this);
    m_toolPanel->setObjectName(QStringLiteral("toolPanel"));
    m_toolPanel->setFrameShape(QFrame::StyledPanel);
    m_toolPanel->setGeometry(0, 0, width(), PanelHeight);
    const auto toolButton = [this](const char *name, const QString &caption, int left, bool enabled) {
        auto *button = new QToolButton(m_toolPanel);
        button->setObjectName(QLatin1String(name));
        button->setText(caption);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(QRect(QPoint(left, ButtonTop), ButtonSize));
        button->setEnabled(enabled);
        return button;
    };
    m_addButton = toolButton("addButton", tr("增加"), 8, true);
    m_editButton = toolButton("editButton", tr("修改"), 69, true);
    m_deleteButton = toolButton("deleteButton", tr("删除"), 130, true);
    m_cancelButton = toolButton("cancelButton", tr("放弃"), 191, false);
    m_saveButton = toolButton("saveButton", tr("保存"), 252, false);
    m_firstButton = toolButton("firstButton", tr("首张"), 313, true);
    m_priorButton = toolButton("priorButton", tr("前张"), 374, true);
    m_nextButton = toolButton("nextButton", tr("后张"), 435, true);
    m_lastButton = toolButton("lastButton", tr("末张"), 496, true);
    m_exitButton = toolButton("exitButton", tr("退出"), 558, true);

    DBEdit **members[] = {&m_customerCodeEdit, &m_customerNameEdit, &m_addressEdit, &m_postcodeEdit,
                          &m_contactEdit,      &m_telEdit,          &m_emailEdit,   &m_qqEdit};
    DBEdit *previous = nullptr;
    for (std::size_t i = 0; i < std::size(editorPlaces); ++i) {
        const EditorPlace &place = editorPlaces[i];
        auto *label = new QLabel(tr(place.label), this);
        label->move(place.labelAt);
        label->adjustSize();
        auto *editor = new DBEdit(m_source, QString::fromLatin1(place.field), this);
        editor->setObjectName(QLatin1String(place.name));
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
    const std::pair<QToolButton *, std::function<void()>> clicks[] = {
        {m_addButton, [this] { onAddClicked(); }},         {m_editButton, [this] { onEditClicked(); }},
        {m_deleteButton, [this] { onDeleteClicked(); }},   {m_cancelButton, [this] { onCancelClicked(); }},
        {m_saveButton, [this] { onSaveClicked(); }},       {m_exitButton, [this] { close(); }},
        {m_firstButton, [this] { m_customers->first(); }}, {m_priorButton, [this] { m_customers->prior(); }},
        {m_nextButton, [this] { m_customers->next(); }},   {m_lastButton, [this] { m_customers->last(); }},
    };
    for (const auto &[button, handler] : clicks)
        connect(button, &QToolButton::clicked, this, [handler = handler] { guarded(handler); });
}

std::array<DBEdit *, 8> CustomerEntryForm::editors() const
{
    return {m_customerCodeEdit, m_customerNameEdit, m_addressEdit, m_postcodeEdit,
            m_contactEdit,      m_telEdit,          m_emailEdit,   m_qqEdit};
}

std::array<QToolButton *, 10> CustomerEntryForm::toolButtons() const
{
    return {m_addButton,  m_deleteButton, m_editButton,  m_cancelButton, m_saveButton,
            m_exitButton, m_firstButton,  m_priorButton, m_nextButton,   m_lastButton};
}

} // namespace corvane
