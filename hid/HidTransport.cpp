#include "HidTransport.h"

#include "HidBackend.h"
#include "HidapiBackend.h"
#include "ProtocolClock.h"
#include "ReportCipher.h"
#include "SecrecyCode.h"
#include "SharedDeviceTable.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

HidTransport::HidTransport(SharedDeviceTable &table) : m_table(table), m_backend(&defaultHidBackend()) {}

HidTransport::~HidTransport() = default;

void HidTransport::setBackend(HidBackend *backend)
{
    m_backend = backend ? backend : &defaultHidBackend();
}

HidBackend *HidTransport::backend() const
{
    return m_backend;
}

void HidTransport::setClock(ProtocolClock *clock)
{
    m_clock = clock;
}

ProtocolClock &HidTransport::clock() const
{
    return m_clock ? *m_clock : defaultProtocolClock();
}

void HidTransport::processEvents()
{
    // A command issued without an application object (tools, benchmarks) has nothing to process.
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool HidTransport::waitHidReady()
{
    for (int i = 0; i < tokenTries; ++i) {
        if (m_hidReady) {
            m_hidReady = false;
            return true;
        }
        clock().sleepMs(tokenTryMs);
        processEvents();
    }
    return false;
}

void HidTransport::idle()
{
    if (m_idleHook)
        m_idleHook();
}

void HidTransport::settleDelay()
{
    clock().sleepMs(settleHalfMs);
    idle();
    clock().sleepMs(settleHalfMs);
}

void HidTransport::buildReport(quint8 code, const std::array<quint8, 6> &params)
{
    outReport[0] = 0x00;
    outReport[1] = code;
    std::copy(params.begin(), params.end(), outReport.begin() + 2);
    outReport[8] = ReportCipher::checksum(outReport.data() + 1);
}

HidDeviceHandle *HidTransport::openHid()
{
    const int index = m_table.currentIndex();
    const auto entry = m_table.entry(index);
    if (!entry || entry->commandPath.isEmpty())
        return nullptr;
    closeHid();
    m_hidDevice = m_backend.load()->openPath(entry->commandPath);
    if (!m_hidDevice) {
        m_table.clearCommandPath(index);
        return nullptr;
    }
    m_hidDevice->setNonblocking(false);
    return m_hidDevice.get();
}

void HidTransport::closeHid()
{
    m_hidDevice.reset();
}

bool HidTransport::fail()
{
    closeHid();
    m_hidReady = true;
    return false;
}

bool HidTransport::encipheredEntry() const
{
    const auto entry = m_table.current();
    return entry && entry->isEncode;
}

int HidTransport::reportLength() const
{
    const auto entry = m_table.current();
    return entry ? entry->reportLength : 0;
}

bool HidTransport::hidSend(int length, bool settle)
{
    processEvents();
    // Events processed just now may have replaced the table, so the entry is read after them.
    const int piece = std::min(length, reportLength());
    if (length > 0 && piece < 1)
        return fail();
    if (!openHid())
        return fail();
    if (encipheredEntry())
        ReportCipher::encipher(outReport.data() + 1, SecrecyCode::bytes());
    HidDeviceHandle *handle = openHid();
    if (!handle || handle->sendFeatureReport(outReport.data(), outReport.size()) < 0)
        return fail();
    if (settle)
        settleDelay();
    if (length > 0) {
        const int reportSize = reportLength() + 1;
        std::vector<quint8> report(static_cast<size_t>(reportSize), 0);
        for (int offset = 0; offset < length; offset += piece) {
            const int n = std::min(piece, length - offset);
            std::fill(report.begin(), report.end(), 0);
            std::copy_n(dataBlock.begin() + offset, n, report.begin() + 1);
            handle = openHid();
            if (!handle || handle->write(report.data(), report.size()) < 0)
                return fail();
            clock().sleepMs(dataGapMs);
            idle();
        }
        if (settle)
            settleDelay();
    }
    closeHid();
    m_hidReady = true;
    return true;
}

bool HidTransport::hidSendRead(int length)
{
    const int piece = std::min(length, reportLength());
    if (length > 0 && piece < 1)
        return fail();
    if (!openHid())
        return fail();
    const bool enciphered = encipheredEntry();
    if (enciphered)
        ReportCipher::encipher(outReport.data() + 1, SecrecyCode::bytes());
    HidDeviceHandle *handle = openHid();
    if (!handle || handle->sendFeatureReport(outReport.data(), outReport.size()) < 0)
        return fail();
    handle = openHid();
    inReport[0] = 0x00; // the report ID asked for
    if (!handle || handle->getFeatureReport(inReport.data(), inReport.size()) < 0)
        return fail();
    if (length > 0) {
        const int reportSize = reportLength() + 1;
        std::vector<quint8> buffer(static_cast<size_t>(reportSize), 0);
        for (int offset = 0; offset < length; offset += piece) {
            handle = openHid();
            const int got = handle ? handle->readTimeout(buffer.data(), buffer.size(), dataReadTimeoutMs) : -1;
            if (got <= 0)
                return fail();
            // hidapi hands over the input reports of an unnumbered interface without their report
            // ID; a report that fills the whole buffer still carries it in byte 0.
            const int skip = got == reportSize ? 1 : 0;
            // A short report fills only what it brought; the rest of the block keeps its bytes.
            const int n = std::min({piece, length - offset, got - skip});
            std::copy_n(buffer.begin() + skip, n, dataBlock.begin() + offset);
            std::fill(buffer.begin(), buffer.end(), 0);
        }
        closeHid();
        m_hidReady = true;
        return true;
    }
    closeHid();
    m_hidReady = true;
    if (enciphered)
        ReportCipher::decipher(inReport.data() + 1, SecrecyCode::bytes());
    return true;
}
