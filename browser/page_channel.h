// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "browser/page_blocks.h"

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

namespace talvio {

class CImpIDispatch;

// window.external's way into the program: page script calls call(name, arguments) over the web
// channel. The call returns at once and the dispatch runs from a zero-delay queued call, because a
// player's modal loop inside the channel's slot would stall the view until the player closed.
class ScriptBridgeChannel : public QObject {
    Q_OBJECT
public:
    explicit ScriptBridgeChannel(CImpIDispatch& dispatch, QObject* parent = nullptr);

public slots:
    void call(const QString& name, const QVariantList& arguments);

private:
    void dispatch(const QString& name, const QVariantList& arguments);

    CImpIDispatch& m_dispatch;
};

// The view's side of the page: blocks for the windowed chat, and the page's reports of what it has
// put on screen.
class PageChannel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The page on screen; its blocks are served once its layout has come.
    void setPage(int serial);
    // The whole page cut, with its blocks' width estimates encoded for the page script.
    void setLayout(int serial, std::shared_ptr<const PageBlocks> blocks, const std::string& encodedUnits);

public slots:
    // Blocks [from, to) of page serial as the window inserts them; empty for any other page.
    QString blocks(int serial, int from, int to) const;
    // {count, units} of page serial, or nothing while it is being cut.
    QVariantMap layout(int serial) const;
    // The block of page serial that holds the message anchor named (a quote's target), or -1.
    int anchorBlock(int serial, const QString& name) const;
    void painted(const QString& address);
    void settled(int serial, double scrollY);
    void whole(int serial);
    // The message of the ordinal is on screen, highlighted, in the document at address.
    void shown(const QString& address, int ordinal);

signals:
    void layoutReady(int serial, int count, const QString& units);
    void pagePainted(const QString& address);
    void viewportSettled(int serial, double scrollY);
    void pageWhole(int serial);
    void messageShown(const QString& address, int ordinal);

private:
    int m_serial = 0;
    std::shared_ptr<const PageBlocks> m_blocks;
    QString m_units;
};

}  // namespace talvio
