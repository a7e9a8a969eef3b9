#pragma once

// The library's eleven views, made bare (no order, no dispatch), and what the
// keyboard and translation tests read from them.

#include "qorOrvaneUI/authorization/Authoriizewaitfrm.h"
#include "qorOrvaneUI/authorization/AuthorizationShowfrm.h"
#include "qorOrvaneUI/authorization/Authorizationfrm.h"
#include "qorOrvaneUI/dispatch/ChooseDispatchfrm.h"
#include "qorOrvaneUI/dispatch/Comparersfrm.h"
#include "qorOrvaneUI/dispatch/Dispatchfrm.h"
#include "qorOrvaneUI/dispatch/frmEscheduleInfo.h"
#include "qorOrvaneUI/loss/Coveragefrm.h"
#include "qorOrvaneUI/loss/eNOLfrm.h"
#include "qorOrvaneUI/loss/eNOLwaitfrm.h"
#include "qorOrvaneUI/loss/frmPIDList.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The suites name every view by its short name.
using orvane::authorization::Authoriizewaitfrm;
using orvane::authorization::Authorizationfrm;
using orvane::authorization::AuthorizationShowfrm;
using orvane::dispatch::ChooseDispatchfrm;
using orvane::dispatch::Comparersfrm;
using orvane::dispatch::Dispatchfrm;
using orvane::dispatch::frmEscheduleInfo;
using orvane::loss::Coveragefrm;
using orvane::loss::eNOLfrm;
using orvane::loss::eNOLwaitfrm;
using orvane::loss::frmPIDList;

namespace ux {

using Make = std::function<std::unique_ptr<QDialog>()>;

template <class View> Make make()
{
    return [] { return std::make_unique<View>(); };
}

// A control as a test names it: its object name, and its index in a control
// array when the name does not carry one.
inline QString controlName(const QWidget *w)
{
    const QVariant index = w->property("index");
    const QString name = w->objectName();
    if (index.isValid() && !name.isEmpty() && !name.back().isDigit())
        return name + u'[' + index.toString() + u']';
    return name;
}

// The controls Tab visits, in order, starting from the first one.
inline QStringList tabChain(QWidget *view)
{
    auto takesTab = [view](QWidget *w) {
        return w != view && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
               w->isVisibleTo(view) && !w->focusProxy();
    };
    QStringList chain;
    QWidget *w = view->nextInFocusChain();
    for (int guard = 0; w != view && guard < 1000; w = w->nextInFocusChain(), ++guard)
        if (takesTab(w) && view->isAncestorOf(w))
            chain << controlName(w);
    return chain;
}

// Captions of buttons, labels with a buddy and group boxes, as the user sees
// them (hidden controls too: they show later).
inline QStringList mnemonicCaptions(QWidget *view)
{
    QStringList captions;
    for (QWidget *w : view->findChildren<QWidget *>()) {
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            captions << b->text();
        else if (auto *l = qobject_cast<QLabel *>(w); l && l->buddy())
            captions << l->text();
        else if (auto *g = qobject_cast<QGroupBox *>(w))
            captions << g->title();
    }
    return captions;
}

// Names a parameterised case after its `name`.
struct CaseName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case> &p) const
    {
        return p.param.name;
    }
};

} // namespace ux
