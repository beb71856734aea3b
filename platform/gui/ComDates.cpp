// The date-time picker (with its check box) and the month calendar, over
// Qt's date-time edit and calendar.
#include "ComCtrls.h"
#include "DateUtils.h"
#include "QzStdPrivate.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>

using namespace qzgui;

QZ_CLASS_IMPL(TDateTimePicker, TWinControl)
QZ_CLASS_IMPL(TMonthCalendar, TWinControl)

namespace {

// The platform's format letters to Qt's: the same except "m" (minutes only
// after an hour or before seconds in the platform's, here always "mm" for
// minutes after "h") and "t"/"tt" for the time, which Qt does not know.
QString QtFormat(const std::string& f, TDateTimeKind kind, TDTDateFormat df)
{
    if (f.empty()) {
        if (kind == dtkTime) return "HH:mm:ss";
        return df == dfLong ? "yyyy'年'M'月'd'日'" : "yyyy-MM-dd";
    }
    return QS(f);
}

// The date-time edit itself is the window (keys and focus take the layer's
// road); the check box sits inside it at the left, the text after it.
class QzPicker : public QDateTimeEdit {
public:
    QzPicker(TDateTimePicker* p, QWidget* parent) : QDateTimeEdit(parent), P(p)
    {
        // Month and day names as the system shows them.
        setLocale(QLocale(QLocale::Chinese, QLocale::China));
        Check = new QCheckBox(this);
        Check->setFocusPolicy(Qt::NoFocus);
        Edit = this;
        setFocusPolicy(Qt::StrongFocus);
    }
    TDateTimePicker* P;
    QCheckBox* Check;
    QDateTimeEdit* Edit;
    int Programmatic = 0;
    void PlaceCheck(bool shown)
    {
        Check->setVisible(shown);
        const int w = shown ? Check->sizeHint().width() + 2 : 0;
        Check->setGeometry(3, (height() - Check->sizeHint().height()) / 2, Check->sizeHint().width(),
                           Check->sizeHint().height());
        lineEdit()->setTextMargins(w, 0, 0, 0);
    }

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        QDateTimeEdit::resizeEvent(e);
        PlaceCheck(Check->isVisibleTo(this));
    }
};

} // namespace

struct TDateTimePicker::TImpl {
    QzPicker* W = nullptr;
};

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner), FImpl(std::make_unique<TImpl>())
{
    SetBounds(0, 0, 186, 21);
    NativeDefaults(this, true);
    FDateTime = Now();
}

TDateTimePicker::~TDateTimePicker()
{
    if (FImpl->W) FImpl->W->P = nullptr;
}

QWidget* TDateTimePicker::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    FImpl->W = new QzPicker(this, parent);
    return FImpl->W;
}

void TDateTimePicker::CreateWindowDone()
{
    QzPicker* w = FImpl->W;
    ApplyFont(this, w);
    Push();
    QObject::connect(w->Edit, &QDateTimeEdit::dateTimeChanged, w, [this, w](const QDateTime& v) {
        if (FImpl->W != w || w->Programmatic) return;
        TDateTime t = FromQDateTime(v);
        // A date picker keeps the time part it had, a time picker the date part.
        if (FKind == dtkDate) t = DateOf(t) + TimeOf(FDateTime);
        else t = DateOf(FDateTime) + TimeOf(t);
        Guarded(this, [&] { NativeChanged(t); });
    });
    QObject::connect(w->Check, &QCheckBox::toggled, w, [this, w](bool on) {
        if (FImpl->W != w || w->Programmatic) return;
        Guarded(this, [&] { NativeChecked(on); });
    });
}

void TDateTimePicker::DestroyWnd()
{
    if (FImpl->W) {
        FImpl->W->P = nullptr;
        FImpl->W = nullptr;
    }
    TWinControl::DestroyWnd();
}

void TDateTimePicker::Push()
{
    QzPicker* w = FImpl->W;
    if (!w) return;
    ++w->Programmatic;
    w->PlaceCheck(FShowCheckbox);
    w->Check->setChecked(FChecked);
    w->Edit->setReadOnly(FShowCheckbox && !FChecked);
    w->Edit->setCalendarPopup(FKind == dtkDate && FDateMode == dmComboBox);
    w->Edit->setDisplayFormat(QtFormat(FFormat, FKind, FDateFormat));
    if (FMinDate != 0) w->Edit->setMinimumDateTime(ToQDateTime(FMinDate));
    else w->Edit->clearMinimumDateTime();
    if (FMaxDate != 0) w->Edit->setMaximumDateTime(ToQDateTime(FMaxDate));
    else w->Edit->clearMaximumDateTime();
    w->Edit->setDateTime(ToQDateTime(FDateTime));
    --w->Programmatic;
}

void TDateTimePicker::NativeChanged(TDateTime v)
{
    if (v == FDateTime) return;
    FDateTime = v;
    if (OnChange) OnChange(this);
}

void TDateTimePicker::NativeChecked(bool v)
{
    FChecked = v;
    if (FImpl->W) FImpl->W->Edit->setReadOnly(FShowCheckbox && !v);
    if (OnChange) OnChange(this);
}

void TDateTimePicker::SetKind(TDateTimeKind v)
{
    FKind = v;
    Push();
}

void TDateTimePicker::SetDateTime(TDateTime v)
{
    if (FMinDate != 0 && v < FMinDate) v = FMinDate;
    if (FMaxDate != 0 && v > FMaxDate) v = FMaxDate;
    FDateTime = v;
    Push();
}
TDateTime TDateTimePicker::Date() const { return DateOf(FDateTime); }
void TDateTimePicker::SetDate(TDateTime v) { SetDateTime(DateOf(v) + TimeOf(FDateTime)); }
TDateTime TDateTimePicker::Time() const { return TimeOf(FDateTime); }
void TDateTimePicker::SetTime(TDateTime v) { SetDateTime(DateOf(FDateTime) + TimeOf(v)); }

void TDateTimePicker::SetShowCheckbox(bool v)
{
    FShowCheckbox = v;
    Push();
}
void TDateTimePicker::SetChecked(bool v)
{
    FChecked = v;
    Push();
}
void TDateTimePicker::SetDateFormat(TDTDateFormat v)
{
    FDateFormat = v;
    Push();
}
void TDateTimePicker::SetDateMode(TDTDateMode v)
{
    FDateMode = v;
    Push();
}
void TDateTimePicker::SetFormat(const std::string& v)
{
    FFormat = v;
    Push();
}
void TDateTimePicker::SetMinDate(TDateTime v)
{
    FMinDate = v;
    SetDateTime(FDateTime);
}
void TDateTimePicker::SetMaxDate(TDateTime v)
{
    FMaxDate = v;
    SetDateTime(FDateTime);
}

void TDateTimePicker::WMMouse(TMessage& m) { MouseToNative<TDateTimePicker, TWinControl>(this, m); }

void TDateTimePicker::CMFontChanged2(TMessage& m)
{
    inherited::Dispatch(m);
    ApplyFont(this, FImpl->W);
}

// ---- month calendar -----------------------------------------------------------------------------

namespace {
class QzCalendar : public QCalendarWidget {
public:
    QzCalendar(TMonthCalendar* c, QWidget* parent) : QCalendarWidget(parent), C(c)
    {
        setLocale(QLocale(QLocale::Chinese, QLocale::China));
        setGridVisible(false);
        setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        setFocusPolicy(Qt::StrongFocus);
    }
    TMonthCalendar* C;
    int Programmatic = 0;
};
}

struct TMonthCalendar::TImpl {
    QzCalendar* W = nullptr;
};

TMonthCalendar::TMonthCalendar(TComponent* owner) : TWinControl(owner), FImpl(std::make_unique<TImpl>())
{
    SetBounds(0, 0, 225, 160);
    NativeDefaults(this, false);
    FDate = DateOf(Now());
}

TMonthCalendar::~TMonthCalendar()
{
    if (FImpl->W) FImpl->W->C = nullptr;
}

QWidget* TMonthCalendar::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    FImpl->W = new QzCalendar(this, parent);
    return FImpl->W;
}

void TMonthCalendar::CreateWindowDone()
{
    QzCalendar* w = FImpl->W;
    ApplyFont(this, w);
    Push();
    QObject::connect(w, &QCalendarWidget::selectionChanged, w, [this, w] {
        if (FImpl->W != w || w->Programmatic) return;
        TDateTime d = FromQDateTime(QDateTime(w->selectedDate(), QTime(0, 0)));
        Guarded(this, [&] { NativeChanged(d); });
    });
    QObject::connect(w, &QCalendarWidget::clicked, w, [w](QDate) {
        if (TMonthCalendar* c = w->C) Guarded(c, [&] { c->DayClicked(); });
    });
}

void TMonthCalendar::DestroyWnd()
{
    if (FImpl->W) {
        FImpl->W->C = nullptr;
        FImpl->W = nullptr;
    }
    TWinControl::DestroyWnd();
}

void TMonthCalendar::Push()
{
    QzCalendar* w = FImpl->W;
    if (!w) return;
    ++w->Programmatic;
    w->setMinimumDate(FMinDate != 0 ? ToQDateTime(FMinDate).date() : QDate(1753, 1, 1));
    w->setMaximumDate(FMaxDate != 0 ? ToQDateTime(FMaxDate).date() : QDate(9999, 12, 31));
    w->setSelectedDate(ToQDateTime(FDate).date());
    --w->Programmatic;
}

void TMonthCalendar::NativeChanged(TDateTime v)
{
    FDate = v;
    Click();
}

void TMonthCalendar::SetDate(TDateTime v)
{
    v = DateOf(v);
    if (FMinDate != 0 && v < FMinDate) v = DateOf(FMinDate);
    if (FMaxDate != 0 && v > FMaxDate) v = DateOf(FMaxDate);
    FDate = v;
    Push();
}
void TMonthCalendar::SetMinDate(TDateTime v)
{
    FMinDate = v;
    SetDate(FDate);
}
void TMonthCalendar::SetMaxDate(TDateTime v)
{
    FMaxDate = v;
    SetDate(FDate);
}

int TMonthCalendar::HitTest(TPoint p) const
{
    QzCalendar* w = FImpl->W;
    if (!w || !w->rect().contains(p.X, p.Y)) return MCHT_NOWHERE;
    for (QWidget* c = w->childAt(p.X, p.Y); c && c != w; c = c->parentWidget()) {
        const QString name = c->objectName();
        if (name == QLatin1String("qt_calendar_prevmonth")) return MCHT_TITLEBTNPREV;
        if (name == QLatin1String("qt_calendar_nextmonth")) return MCHT_TITLEBTNNEXT;
        if (name == QLatin1String("qt_calendar_monthbutton")) return MCHT_TITLEMONTH;
        if (name == QLatin1String("qt_calendar_yearbutton") || name == QLatin1String("qt_calendar_yearedit"))
            return MCHT_TITLEYEAR;
        if (name == QLatin1String("qt_calendar_navigationbar")) return MCHT_TITLEBK;
        if (auto* view = qobject_cast<QTableView*>(c)) {
            QModelIndex i = view->indexAt(view->viewport()->mapFrom(w, QPoint(p.X, p.Y)));
            if (!i.isValid()) return MCHT_CALENDARBK;
            bool dayNames = w->horizontalHeaderFormat() != QCalendarWidget::NoHorizontalHeader;
            bool weekNumbers = w->verticalHeaderFormat() != QCalendarWidget::NoVerticalHeader;
            if (dayNames && i.row() == 0) return MCHT_CALENDARDAY;
            if (weekNumbers && i.column() == 0) return MCHT_CALENDARWEEKNUM;
            return MCHT_CALENDARDATE;
        }
    }
    return MCHT_CALENDARBK;
}

TPoint TMonthCalendar::MinimalSize() const
{
    if (!FImpl->W) return Point(Width(), Height());
    QSize s = FImpl->W->minimumSizeHint();
    return Point(s.width(), s.height());
}

void TMonthCalendar::WMMouse(TMessage& m) { MouseToNative<TMonthCalendar, TWinControl>(this, m); }
