#include "qorOrvaneUI/authorization/Authorizationfrm.h"

#include "qorOrvaneUI/authorization/AuthorizationText.h"
#include "qorOrvaneUI/core/Orvanemod.h"
#include "qorOrvaneUI/core/StagingWrites.h"
#include "qorOrvaneUI/core/TransactionQueue.h"
#include "qorOrvaneUI/core/XMLUtilmod.h"
#include "qorOrvaneUI/core/modOrvane.h"
#include "runtime/RecordsetDelegate.h"
#include "runtime/vb.h"
#include <qorOrvaneUI/dispatch/clsShowDispatch.h>
#include <qorOrvaneUI/external/IInvoice.h>
#include <qorOrvaneUI/external/ILineItems.h>
#include <qorOrvaneUI/external/Ig_ackn.h>
#include <qorOrvaneUI/external/ProgIds.h>
#include <qorOrvaneUI/runtime/ObjectRegistry.h>
#include <qorOrvaneUI/runtime/Ui.h>
#include <qorOrvaneUI/runtime/VbError.h>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <vector>

namespace orvane::authorization {

using dispatch::clsShowDispatch;

using namespace Qt::StringLiterals;
using authorization::flagOf;
using authorization::numberOf;
using authorization::quoted;
using authorization::textOf;
using authorization::valueOf;
using orvane::ColumnFormat;
using orvane::Recordset;
using orvane::RecordsetColumn;
using orvane::Value;
using vb::Trim;

namespace {

using modOrvane::CRLF;

// Sub-kinds of hardware that are mouldings.
bool isMouldingSubKind(const QString &subKind)
{
    static const QStringList mouldings{u"ML"_s, u"WS"_s, u"PG"_s, u"GS"_s, u"ES"_s,
                                       u"FL"_s, u"BD"_s, u"LP"_s, u"M1"_s};
    return mouldings.contains(subKind);
}

// Reason texts offered for a kind of authorization, and the code each stands for.
// The texts are what the line stores; the grid shows them translated.
std::vector<const char *> reasonsFor(const QString &typeCode)
{
    if (typeCode == u"1"_s)
        return {QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm", "Yes"),
                QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm", "No")};
    if (typeCode == u"6"_s || typeCode == u"9"_s || typeCode == u"15"_s)
        return {QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm",
                                  "After-market not available"),
                QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm", "Customer request"),
                QT_TRANSLATE_NOOP("orvane::authorization::Authorizationfrm",
                                  "After-market quality issue")};
    return {};
}

QString reasonCodeOf(const QString &reasonText)
{
    const QString key = vb::UCase(Trim(reasonText));
    if (key == u"YES"_s)
        return u"4"_s;
    if (key == u"NO"_s)
        return u"5"_s;
    if (key == u"AFTER-MARKET NOT AVAILABLE"_s)
        return u"1"_s;
    if (key == u"CUSTOMER REQUEST"_s)
        return u"2"_s;
    if (key == u"AFTER-MARKET QUALITY ISSUE"_s)
        return u"3"_s;
    return {};
}

// Text cut to the field's defined size by the record set's own rule, untrimmed.
void setFitted(Recordset &rs, const QString &field, const QString &text)
{
    rs.setValue(field, rs.field(field).fitted(text));
}

bool onRow(const Recordset &rs)
{
    return !rs.eof() && !rs.bof();
}

} // namespace

Authorizationfrm::Authorizationfrm(QWidget *parent)
    : LibraryView(u"Authorizationfrm"_s, tr("Part Authorization"), parent)
{
    setSizeGripEnabled(true);
    auto *layout = new QVBoxLayout(this);

    grdAuthorize = new QTableView(this);
    grdAuthorize->setObjectName(u"grdAuthorize"_s);
    // Tab leaves the grid (arrows walk the cells; an open editor still
    // moves on to the next cell with Tab).
    grdAuthorize->setTabKeyNavigation(false);
    grdAuthorize->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdAuthorize->setSelectionMode(QAbstractItemView::SingleSelection);
    grdAuthorize->setAlternatingRowColors(true);
    grdAuthorize->setWordWrap(false);
    grdAuthorize->verticalHeader()->hide();
    grdAuthorize->setItemDelegate(new orvane::RecordsetDelegate(grdAuthorize));
    // Arrows walk the cells; typing, F2 or a double click edits one.
    grdAuthorize->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    layout->addWidget(grdAuthorize, 1);

    model_ = new orvane::RecordsetModel(this);
    auto check = [](const QString &field, const QString &caption) {
        RecordsetColumn c = RecordsetColumn::bound(field, caption, ColumnFormat::CheckBox);
        c.alignment = Qt::AlignCenter;
        return c;
    };
    model_->addColumn(check(u"Authorize"_s, QString()));
    model_->addColumn(RecordsetColumn::bound(u"TypeDesc"_s, tr("Auth Description")));
    model_->addColumn(RecordsetColumn::bound(u"Part"_s, tr("Part")));
    model_->addColumn(RecordsetColumn::bound(u"RelatedPart"_s, tr("Related Part")));
    RecordsetColumn qty = RecordsetColumn::bound(u"Qty"_s, tr("Qty"));
    qty.alignment = Qt::AlignRight | Qt::AlignVCenter;
    model_->addColumn(qty);
    RecordsetColumn price = RecordsetColumn::bound(u"Price"_s, tr("Price"), ColumnFormat::Currency);
    price.alignment = Qt::AlignRight | Qt::AlignVCenter;
    model_->addColumn(price);
    model_->addColumn(RecordsetColumn::bound(u"ReasonCodeName"_s, tr("Reason")));
    model_->addColumn(check(u"ManualRequest"_s, tr("Manual")));
    model_->addColumn(RecordsetColumn::bound(u"RequestDescription"_s, tr("Request Desc")));
    model_->addColumn(RecordsetColumn::bound(u"RequestExplanation"_s, tr("Request Explanation")));
    model_->addColumn(check(u"Fax"_s, tr("Fax POP")));
    // The reasons offered in a cell are always its own line's: the editor can
    // open on a row before the row change has set the column's list.
    model_->setValueListProvider(colReason, [this](int, const Value &bookmark) {
        QList<orvane::ValueListEntry> list;
        Recordset line = rsAuth.clone();
        line.setFilter(QString());
        line.setBookmark(bookmark);
        for (const char *reason : reasonsFor(Trim(textOf(line, u"Type"_s))))
            list.append({QString::fromUtf8(reason), tr(reason)});
        return list;
    });
    grdAuthorize->setModel(model_);
    QHeaderView *header = grdAuthorize->horizontalHeader();
    header->setStretchLastSection(false);
    const int widths[] = {28, 200, 110, 110, 44, 84, 170, 56, 140, 160, 60};
    for (int c = 0; c < int(std::size(widths)); ++c)
        header->resizeSection(c, widths[c]);

    connect(model_, &orvane::RecordsetModel::afterColumnUpdate, this,
            &Authorizationfrm::grdAuthorize_AfterColUpdate);
    connect(grdAuthorize->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                if (current.isValid() && current.row() != previous.row())
                    grdAuthorize_RowColChange(current.row());
            });

    auto *bottom = new QHBoxLayout;
    chkShow = new QCheckBox(tr("&Show All Parts"), this);
    chkShow->setObjectName(u"chkShow"_s);
    bottom->addWidget(chkShow);
    bottom->addStretch(1);
    cmdBuild = new QPushButton(tr("Send &Authorization"), this);
    cmdBuild->setObjectName(u"cmdBuild"_s);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    for (QPushButton *b : {cmdBuild, cmdCancel}) {
        b->setMinimumWidth(120);
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    // Enter sends (the request is checked first); a cell editor takes its own Enter.
    cmdBuild->setDefault(true);
    layout->addLayout(bottom);
    connect(chkShow, &QCheckBox::clicked, this, &Authorizationfrm::chkShow_Click);
    connect(cmdBuild, &QPushButton::clicked, this, &Authorizationfrm::cmdBuild_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &Authorizationfrm::cmdCancel_Click);
    setTabOrder(grdAuthorize, chkShow);
    setTabOrder(chkShow, cmdBuild);
    setTabOrder(cmdBuild, cmdCancel);

    // A fixed floor rather than one that follows the contents, so the window
    // never changes its size limits while it is shown.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(640, 260);
    resize(1200, 420);
    setWindowIcon(orvane::ui::libraryIcon(111));
    registerView({{grdAuthorize, u"Authorizationfrm.grdAuthorize"_s}});
}

Authorizationfrm::~Authorizationfrm()
{
    Form_Unload();
}

void Authorizationfrm::setInvoice(std::shared_ptr<orvane::ext::IInvoice> invoice)
{
    invoice_ = std::move(invoice);
    setErrorInvoice(invoice_);
}

void Authorizationfrm::Form_Unload()
{
    if (!unloadView())
        return;
    model_->setRecordset(Recordset());
    invoice_.reset();
    dom_ = orvane::XmlDocument();
    rsAuth = rsTypes = rsTypeLookup = rsDispatchAuths = Recordset();
}

void Authorizationfrm::showEvent(QShowEvent *event)
{
    LibraryView::showEvent(event);
    Form_Activate();
}

void Authorizationfrm::reject()
{
    cmdCancel_Click();
}

void Authorizationfrm::Form_Activate()
{
    if (filled_)
        return;
    orvane::Proc p = proc(u"Form_Activate"_s);
    try {
        p.at(10);
        QString xml = dom_.xml();
        clsShowDispatch dispatch;
        rsDispatchAuths = dispatch.GetAuths(xml);
        p.at(20);
        filled_ = true;
        CreateRS();
        SetColumns();
        PopulateRS();
        p.at(30);
        model_->setRecordset(rsAuth);
        if (rsAuth.recordCount() > 0) {
            rsAuth.moveFirst();
            grdAuthorize->setCurrentIndex(model_->index(0, colAuthorize));
        }
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::CreateRS()
{
    orvane::Proc p = proc(u"CreateRS"_s);
    try {
        p.at(10);
        Recordset rs;
        rs.appendField(u"Authorize"_s, orvane::ftype::Bool);
        rs.appendField(u"Type"_s, orvane::ftype::Text, 15);
        rs.appendField(u"TypeDesc"_s, orvane::ftype::Text, 50);
        rs.appendField(u"Part"_s, orvane::ftype::Text, 30);
        rs.appendField(u"RelatedPart"_s, orvane::ftype::Text, 30);
        rs.appendField(u"Qty"_s, orvane::ftype::Int32);
        rs.appendField(u"Price"_s, orvane::ftype::Double);
        rs.appendField(u"ReasonCode"_s, orvane::ftype::Text, 10);
        rs.appendField(u"ReasonCodeName"_s, orvane::ftype::Text, 30);
        rs.appendField(u"ManualRequest"_s, orvane::ftype::Bool);
        rs.appendField(u"RequestDescription"_s, orvane::ftype::Text, 40);
        rs.appendField(u"RequestExplanation"_s, orvane::ftype::Text, 50);
        rs.appendField(u"Fax"_s, orvane::ftype::Bool);
        rs.appendField(u"Filter"_s, orvane::ftype::Bool);
        rs.appendField(u"Hardware"_s, orvane::ftype::Bool);
        p.at(20);
        rs.open();
        rsAuth = rs;
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::SetColumns()
{
    orvane::Proc p = proc(u"SetColumns"_s);
    try {
        p.at(10);
        rsTypes = Orvanemod::AuthorizationTypes();
        p.at(20);
        QStringList names;
        Recordset names_ = rsTypes.clone();
        for (names_.moveFirst(); !names_.eof(); names_.moveNext())
            names << textOf(names_, u"Name"_s);
        model_->setDropDownList(colTypeDesc, names);
        p.at(30);
        rsTypeLookup = rsTypes.clone();
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::AddValueItem(int column, const QString &value, const QString &display)
{
    QList<orvane::ValueListEntry> list = model_->column(column).valueList;
    list.append({value, display});
    model_->setValueList(column, list);
}

bool Authorizationfrm::findType(const QString &criteria)
{
    if (rsTypeLookup.recordCount() == 0)
        return false;
    rsTypeLookup.moveFirst();
    rsTypeLookup.find(criteria);
    return !rsTypeLookup.eof();
}

void Authorizationfrm::PopulateRS()
{
    orvane::Proc p = proc(u"PopulateRS"_s);
    try {
        p.at(10);
        const auto lineItems = orvane::required(orvane::required(invoice_)->getlineitems());
        Recordset lines = lineItems->itemsrecordset().clone();
        Recordset previous = lines.clone();
        p.at(20);
        model_->setValueList(colRelatedPart, {});
        AddValueItem(colRelatedPart, QString(), QString());
        p.at(30);
        if (lines.recordCount() > 0) {
            for (lines.moveFirst(); !lines.eof(); lines.moveNext()) {
                p.at(40);
                rsAuth.addNew();
                rsAuth.setValue(u"Authorize"_s, false);
                for (const QString &flag :
                     {u"ManualRequest"_s, u"Fax"_s, u"Filter"_s, u"Hardware"_s})
                    rsAuth.setValue(flag, false);
                const QString mfrPart = textOf(lines, u"mfr_part"_s);
                const QString typeOfPart = textOf(lines, u"typeofpart"_s);
                setFitted(rsAuth, u"Part"_s, Trim(mfrPart));

                p.at(50);
                // Hardware belongs to the nearest glass line above it.
                if (vb::Left(typeOfPart, 1) == u"H"_s) {
                    previous.setBookmark(lines.bookmark());
                    while (!previous.bof()) {
                        if (vb::Left(textOf(previous, u"typeofpart"_s), 1) == u"G"_s) {
                            setFitted(rsAuth, u"RelatedPart"_s, textOf(previous, u"mfr_part"_s));
                            break;
                        }
                        previous.movePrevious();
                    }
                }

                p.at(60);
                if (vb::Left(typeOfPart, 1) == u"K"_s) {
                    const QString kit = Trim(typeOfPart);
                    rsAuth.setValue(u"Filter"_s, !(kit == u"K LU"_s || kit == u"K RS"_s));
                }

                p.at(70);
                try {
                    // A line already confirmed needs no second request.
                    if (!Trim(textOf(lines, u"Conf"_s)).isEmpty())
                        rsAuth.setValue(u"Filter"_s, true);
                } catch (const orvane::VbError &) {
                    // an order whose lines carry no confirmation code
                }

                p.at(80);
                const QString part = textOf(lines, u"part"_s);
                bool typed = findType(u"name="_s % quoted(vb::UCase(part)));
                if (!typed) {
                    p.at(90);
                    const QString trimmedPart = Trim(part);
                    const QString firstTwo = vb::Left(trimmedPart, 2);
                    const QString kind = Trim(typeOfPart);
                    const QString subKind = vb::Mid(typeOfPart, 3, 2);
                    QString code;
                    if (firstTwo == u"DY"_s || firstTwo == u"FY"_s) {
                        code = u"2"_s;
                    } else if (firstTwo == u"DR"_s || firstTwo == u"FR"_s) {
                        code = u"10"_s;
                    } else if (kind.startsWith(u'G')) {
                        if (Trim(textOf(lines, u"mfr"_s)) != u"NAG"_s)
                            code = u"6"_s;
                        else if (vb::Mid(trimmedPart, 11, 1) == u"Y"_s)
                            code = u"9"_s;
                        else if (numberOf(lines, u"Net"_s) == 0)
                            code = u"11"_s;
                        else if (!flagOf(lines, u"Discounted"_s))
                            code = u"25"_s;
                        else
                            rsAuth.setValue(u"Filter"_s, true);
                    } else if (kind.startsWith(u'H')) {
                        rsAuth.setValue(u"Hardware"_s, true);
                        const bool fromMaker = vb::Val(textOf(lines, u"mfr"_s)) > 0;
                        const bool moulding = isMouldingSubKind(subKind);
                        code = fromMaker ? (moulding ? u"15"_s : u"17"_s)
                                         : (moulding ? u"14"_s : u"8"_s);
                    } else if (kind.startsWith(u'K') &&
                               (subKind == u"RS"_s || subKind == u"LU"_s)) {
                        setFitted(rsAuth, u"Part"_s, vb::Left(Trim(mfrPart), 9));
                        code = u"8"_s;
                    }
                    p.at(100);
                    if (!code.isEmpty())
                        typed = findType(u"Code="_s % quoted(code));
                }
                if (typed) {
                    setFitted(rsAuth, u"TypeDesc"_s, Trim(textOf(rsTypeLookup, u"Name"_s)));
                    setFitted(rsAuth, u"Type"_s, Trim(textOf(rsTypeLookup, u"Code"_s)));
                }

                p.at(110);
                SetReason();

                p.at(120);
                rsAuth.setValue(u"Qty"_s, valueOf(lines, u"Quantity"_s));
                double price = 0;
                for (const QString &field : {u"Net"_s, u"Kit"_s, u"Labor"_s}) {
                    price = numberOf(lines, field);
                    if (price != 0)
                        break;
                }
                rsAuth.setValue(u"Price"_s, price);

                p.at(130);
                rsAuth.update();
                AddValueItem(colRelatedPart, Trim(mfrPart), Trim(mfrPart));
            }
        }
        p.at(140);
        rsAuth.setFilter(u"Filter = False"_s);
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::SetReason()
{
    orvane::Proc p = proc(u"SetReason"_s);
    try {
        p.at(10);
        if (!onRow(rsTypeLookup))
            return;
        p.at(20);
        // The grid shows a value list's display text; the reason text is both.
        model_->setValueList(colReason, {});
        for (const char *reason : reasonsFor(Trim(textOf(rsTypeLookup, u"code"_s))))
            AddValueItem(colReason, QString::fromUtf8(reason), tr(reason));
        p.at(30);
        bool listed = false;
        if (rsDispatchAuths.isOpen() && rsDispatchAuths.recordCount() > 0) {
            rsDispatchAuths.moveFirst();
            rsDispatchAuths.find(u"Name = "_s % quoted(textOf(rsTypeLookup, u"Name"_s)));
            listed = !rsDispatchAuths.eof();
        }
        p.at(40);
        const bool manual = listed ? !rsDispatchAuths.value(u"onlineenabled"_s).toBool()
                                   : !rsTypeLookup.value(u"rtauth"_s).toBool();
        rsAuth.setValue(u"ManualRequest"_s, manual);
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::chkShow_Click()
{
    try {
        rsAuth.setFilter(chkShow->isChecked() ? QString() : u"Filter = False"_s);
        model_->refresh();
    } catch (...) {
        orvane::Proc p = proc(u"chkShow_Click"_s);
        reportTrapped(p);
    }
}

void Authorizationfrm::grdAuthorize_RowColChange(int row)
{
    try {
        if (!model_->setCurrentRow(row))
            return;
        const int typeColumn = model_->findColumn(u"TypeDesc"_s);
        const QString typeName = model_->index(row, typeColumn).data(Qt::EditRole).toString();
        findType(u"Name = "_s % quoted(typeName));
        SetReason();
        model_->refreshRow(row);
    } catch (...) {
        // moving between rows never stops the user
    }
}

void Authorizationfrm::grdAuthorize_AfterColUpdate(int row, int column)
{
    // Failures in these edits leave the cell as the user typed it.
    try {
        model_->setCurrentRow(row);
        const QString field = vb::UCase(Trim(model_->column(column).field));
        if (field == u"TYPEDESC"_s) {
            const QString name = textOf(rsAuth, u"TypeDesc"_s);
            if (!findType(u"Name = "_s % quoted(name))) {
                rsAuth.setValue(u"TypeDesc"_s, QString());
                rsAuth.update();
                model_->refreshRow(row);
                orvane::Ui::instance().msgBox(tr("Cleared"), orvane::MsgButtons::OK);
            } else {
                setFitted(rsAuth, u"Type"_s, textOf(rsTypeLookup, u"code"_s));
                SetReason();
                rsAuth.update();
            }
        } else if (field == u"REASONCODENAME"_s) {
            const QString code = reasonCodeOf(textOf(rsAuth, u"ReasonCodeName"_s));
            if (code.isEmpty())
                rsAuth.setValue(u"ReasonCodeName"_s, QString());
            else
                rsAuth.setValue(u"ReasonCode"_s, code);
            rsAuth.update();
        }
        model_->refreshRow(row);
    } catch (...) {
    }
}

bool Authorizationfrm::ValidData()
{
    orvane::Proc p = proc(u"ValidData"_s);
    try {
        p.at(10);
        Recordset all = rsAuth.clone();
        all.setFilter(QString());
        if (all.recordCount() == 0) {
            p.at(20);
            orvane::ui::reportMessage(invoice_, p.name(),
                                      tr("You cannot Authorize parts that do not exist.") % CRLF %
                                          tr("Please add parts to your order and try authorizing "
                                             "them later"),
                                      p.line());
            return false;
        }
        p.at(30);
        QString problems;
        int ticked = 0;
        for (all.moveFirst(); !all.eof(); all.moveNext()) {
            if (!all.value(u"Authorize"_s).toBool())
                continue;
            const QString part = textOf(all, u"Part"_s);
            auto problem = [&](const QString &message) { problems += message % part % CRLF; };
            p.at(40);
            if (all.value(u"Hardware"_s).toBool() && Trim(textOf(all, u"RelatedPart"_s)).isEmpty())
                problem(tr("You must enter a related Part for part "));
            if (all.value(u"Qty"_s).toDouble() == 0)
                problem(tr("You must enter a non-zero Quantity for part "));
            if (all.value(u"Price"_s).toDouble() == 0)
                problem(tr("You must enter a non-zero Price for part "));
            ++ticked;
            p.at(50);
            const QString type = Trim(textOf(all, u"Type"_s));
            const QString reason = Trim(textOf(all, u"ReasonCode"_s));
            if (type == u"1"_s) {
                if (reason != u"4"_s && reason != u"5"_s)
                    problem(tr("You must enter a valid reason code for part "));
            } else if (type == u"6"_s || type == u"9"_s || type == u"15"_s) {
                if (reason != u"1"_s && reason != u"2"_s && reason != u"3"_s)
                    problem(tr("You must enter a valid reason code for this Authorization "));
            } else if (type.isEmpty()) {
                problem(tr("You must select an auth description from the list for part "));
            }
            p.at(60);
            if (all.value(u"ManualRequest"_s).toBool()) {
                if (Trim(textOf(all, u"RequestDescription"_s)).isEmpty())
                    problem(tr("You must select an Request Description for manual requests for "
                               "part "));
                if (Trim(textOf(all, u"RequestExplanation"_s)).isEmpty())
                    problem(tr("You must select an Request Explanation for manual requests for "
                               "part "));
            }
        }
        p.at(70);
        if (ticked == 0)
            problems += tr("You have not selected any parts to authorize.  Please click the "
                           "authorize check box for the parts you want authorization for.");
        if (!problems.isEmpty()) {
            p.at(80);
            orvane::ui::reportMessage(invoice_, p.name(),
                                      tr("Authorization cannot be sent due to the following "
                                         "problems ") %
                                          CRLF % CRLF % problems,
                                      p.line());
            return false;
        }
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

bool Authorizationfrm::CreateXML(orvane::XmlDocument &doc, const QString &sessionId)
{
    orvane::Proc p = proc(u"CreateXML"_s);
    try {
        p.at(10);
        doc = orvane::XmlDocument();
        doc.appendChild(doc.createElement(u"Authorization"_s));
        XMLUtilmod::CreateNode(doc, u"ReturnCode"_s, u"0"_s);
        XMLUtilmod::CreateNode(doc, u"ReturnText"_s, QString());
        p.at(20);
        const orvane::XmlNode header = XMLUtilmod::CreateNodeRoot(doc, u"AuthorizationHeader"_s);
        const orvane::XmlNode dispatch = dom_.asNode();
        auto add = [&doc](const orvane::XmlNode &parent, const QString &name, QString value) {
            XMLUtilmod::CreateNode(doc, name, value, parent);
        };
        auto fromDispatch = [&dispatch](const QString &name) {
            return XMLUtilmod::ReturnNormValue(dispatch, name);
        };
        add(header, u"EnvironmentID"_s, u"PROD"_s);
        add(header, u"SessionID"_s, sessionId);
        add(header, u"OriginationPID"_s, fromDispatch(u"DestinationPID"_s));
        add(header, u"DestinationPID"_s, fromDispatch(u"OriginationPID"_s));
        add(header, u"DispatchNumber"_s, fromDispatch(u"DispatchNumber"_s));
        add(header, u"OriginationCompanyID"_s, fromDispatch(u"ReceivingCompanyID"_s));
        add(header, u"TransactionDate"_s,
            vb::FormatYYYYMMDD(orvane::DateValue::fromDate(QDate::currentDate())));
        add(header, u"TransactionTime"_s, vb::FormatHHMMSS(QTime::currentTime()));
        add(header, u"VersionNumber"_s, u"1.10"_s);

        p.at(30);
        orvane::XmlNode details = XMLUtilmod::CreateNodeRoot(doc, u"AuthorizationDetails"_s);
        Recordset all = rsAuth.clone();
        all.setFilter(QString());
        int lineNumber = 0;
        if (all.recordCount() > 0) {
            for (all.moveFirst(); !all.eof(); all.moveNext()) {
                ++lineNumber;
                if (!all.value(u"Authorize"_s).toBool())
                    continue;
                p.at(40);
                const orvane::XmlNode line =
                    details.appendChild(doc.createElement(u"AuthorizationType"_s));
                const bool manual = all.value(u"ManualRequest"_s).toBool();
                add(line, u"Type"_s, textOf(all, u"Type"_s));
                add(line, u"LineNumber"_s, QString::number(lineNumber));
                add(line, u"RequestPart"_s, textOf(all, u"Part"_s));
                add(line, u"RelatedPart"_s, textOf(all, u"RelatedPart"_s));
                add(line, u"RequestQuantity"_s, vb::NumberText(numberOf(all, u"Qty"_s)));
                add(line, u"RequestPrice"_s, vb::NumberText(numberOf(all, u"Price"_s)));
                add(line, u"ReasonCode"_s, textOf(all, u"ReasonCode"_s));
                for (const QString &answer : {u"AuthorizedPart"_s, u"AcceptPrice"_s,
                                              u"AcceptQuantity"_s, u"ConfirmationCode"_s})
                    add(line, answer, QString());
                add(line, u"ManualRequest"_s, manual ? u"Y"_s : u"N"_s);
                if (manual) {
                    add(line, u"RequestDescription"_s, textOf(all, u"RequestDescription"_s));
                    add(line, u"RequestExplanation"_s, textOf(all, u"RequestExplanation"_s));
                    add(line, u"FaxingPOP"_s, all.value(u"Fax"_s).toBool() ? u"Y"_s : u"N"_s);
                }
                add(line, u"ErrorCode"_s, QString());
                add(line, u"ErrorText"_s, QString());
            }
        }
        p.at(50);
        XMLUtilmod::CreateNode(doc, u"Filename"_s, sessionId);
        return true;
    } catch (...) {
        reportTrapped(p);
        return false;
    }
}

void Authorizationfrm::SendAuth()
{
    orvane::Proc p = proc(u"SendAuth"_s);
    try {
        p.at(10);
        const QString session = modOrvane::CreateGUIDString();
        if (session.isEmpty())
            throw orvane::VbError(orvane::err::Unspecified, p.name(),
                                  u"No session identifier could be made."_s);
        p.at(20);
        orvane::XmlDocument doc;
        // A request that could not be built whole is never sent; CreateXML
        // has told the user why.
        if (!CreateXML(doc, session))
            return;

        p.at(30);
        // The request's rows and its transaction row are stored together or
        // not at all: answers never come for rows whose request was not sent.
        StagingWrites::Transaction transaction(orvane::required(invoice_)->Env());
        auto ackn = orvane::CreateObject<orvane::ext::Ig_ackn>(
            QString::fromUtf16(orvane::ext::progid::g_ackn));
        ackn->setEnv(invoice_->Env());
        p.at(40);
        ackn->setblnnosave(true);
        ackn->get_ackfromxml(doc.xml());
        p.at(50);
        Recordset rows = ackn->itemsrecordset();
        const Recordset order = invoice_->itemsrecordset();
        if (rows.recordCount() > 0) {
            for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
                p.at(60);
                rows.setValue(u"sessionid"_s, session);
                rows.setValue(u"daskid"_s, order.value(u"idnumber"_s));
                rows.setValue(u"daskloc"_s, order.value(u"location"_s));
                rows.setValue(u"Ack"_s, true);
                rows.update();
                ackn->setblnnosave(false);
                ackn->Update();
                ackn->setblnnosave(true);
            }
        }
        p.at(70);
        TransactionQueue::QueueRow(
            invoice_, doc, QString::fromUtf16(TransactionQueue::AuthorizationRequest), session);
        transaction.commit();
        TransactionQueue::RaiseSendFlag(invoice_);
        p.at(80);
        blnSent = true;
        strSession = session;
        hide();
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::cmdBuild_Click()
{
    orvane::Proc p = proc(u"cmdBuild_Click"_s);
    try {
        p.at(10);
        if (ValidData())
            SendAuth();
    } catch (...) {
        reportTrapped(p);
    }
}

void Authorizationfrm::cmdCancel_Click()
{
    hide();
}

} // namespace orvane::authorization
