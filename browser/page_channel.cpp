// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/page_channel.h"

#include "browser/script_dispatch.h"
#include "browser/view_document.h"

#include <QMetaObject>

#include <vector>

namespace talvio {
namespace {

DispatchValue fromScript(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    if (value.typeId() == QMetaType::QString)
        return DispatchValue::string(value.toString().toStdString());
    return DispatchValue::other();
}

}  // namespace

ScriptBridgeChannel::ScriptBridgeChannel(CImpIDispatch& dispatch, QObject* parent)
    : QObject(parent), m_dispatch(dispatch) {}

void ScriptBridgeChannel::call(const QString& name, const QVariantList& arguments) {
    QMetaObject::invokeMethod(
        this, [this, name, arguments] { dispatch(name, arguments); }, Qt::QueuedConnection);
}

void ScriptBridgeChannel::dispatch(const QString& name, const QVariantList& arguments) {
    const std::string utf8Name = name.toStdString();
    const std::string_view names[] = {utf8Name};
    DISPID id = DISPID_UNKNOWN;
    if (m_dispatch.GetIDsOfNames(names, std::span(&id, 1)) != DispatchStatus::Ok)
        return;
    std::vector<DispatchValue> params;
    params.reserve(static_cast<std::size_t>(arguments.size()));
    for (const QVariant& argument : arguments)
        params.push_back(fromScript(argument));
    DispatchValue result;
    m_dispatch.Invoke(id, DISPATCH_METHOD, params, &result);
}

void PageChannel::setPage(int serial) {
    m_serial = serial;
    m_blocks.reset();
    m_units.clear();
}

void PageChannel::setLayout(int serial, std::shared_ptr<const PageBlocks> blocks,
                            const std::string& encodedUnits) {
    if (serial != m_serial)
        return;
    m_blocks = std::move(blocks);
    m_units = QString::fromLatin1(encodedUnits.data(), static_cast<qsizetype>(encodedUnits.size()));
    emit layoutReady(serial, static_cast<int>(m_blocks->count()), m_units);
}

QVariantMap PageChannel::layout(int serial) const {
    if (serial != m_serial || !m_blocks)
        return {};
    return {{QStringLiteral("count"), static_cast<int>(m_blocks->count())},
            {QStringLiteral("units"), m_units}};
}

int PageChannel::anchorBlock(int serial, const QString& name) const {
    if (serial != m_serial || !m_blocks)
        return -1;
    const std::optional<std::size_t> block = m_blocks->anchorBlock(name.toStdString());
    return block ? static_cast<int>(*block) : -1;
}

QString PageChannel::blocks(int serial, int from, int to) const {
    if (serial != m_serial || !m_blocks || from < 0 || to <= from)
        return {};
    const std::string html =
        blocksForView(*m_blocks, static_cast<std::size_t>(from), static_cast<std::size_t>(to));
    return QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size()));
}

void PageChannel::painted(const QString& address) {
    emit pagePainted(address);
}

void PageChannel::settled(int serial, double scrollY) {
    if (serial == m_serial)
        emit viewportSettled(serial, scrollY);
}

void PageChannel::shown(const QString& address, int ordinal) {
    emit messageShown(address, ordinal);
}

void PageChannel::whole(int serial) {
    if (serial == m_serial)
        emit pageWhole(serial);
}

}  // namespace talvio
