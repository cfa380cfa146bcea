#include "VirtualMouseFirmware.h"

#include "ReportCipher.h"

namespace {

constexpr int kKeyMatrices = 4;
constexpr int kMatrixBytes = 64;
constexpr int kProfileBlocks = 5;
constexpr int kBlockBytes = 128;
constexpr int kGunSlots = 3;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

void fit(QByteArray &field, int size)
{
    field = field.left(size);
    if (field.size() < size)
        field.append(QByteArray(size - field.size(), '\0'));
}

void fit(QList<QByteArray> &fields, int count, int size)
{
    fields.resize(count);
    for (QByteArray &field : fields)
        fit(field, size);
}

void put(QByteArray &block, int offset, const QByteArray &data)
{
    block.replace(offset, data.size(), data);
}

// Eight colours: red, orange, yellow, green, cyan, blue, purple, white.
const QByteArray kFactoryColours = bytes({0xff, 0x00, 0x00, 0xff, 0x80, 0x00, 0xff, 0xff, 0x00, 0x00, 0xff, 0x00,
                                          0x00, 0xff, 0xff, 0x00, 0x00, 0xff, 0x80, 0x00, 0xff, 0xff, 0xff, 0xff});

// Buttons 0 to 4 are the mouse buttons left, right, middle, back, forward; 5 and 6 step the DPI; the
// rest are fixed.
QByteArray factoryKeyMatrix()
{
    QByteArray matrix;
    for (int button = 0; button < 16; ++button) {
        if (button < 5)
            matrix += bytes({0x01, 0x00, 0xf0 + button, 0x00});
        else if (button < 7)
            matrix += bytes({0x07, 0x00, button - 4, 0x00});
        else
            matrix += bytes({0x04, 0x00, 0x00, 0x00});
    }
    return matrix;
}

// Bytes the program does not know still hold firmware data; a recognisable pattern shows whether the
// program carries them unchanged.
QByteArray factoryProfileBlock(int block, bool isColorful)
{
    QByteArray data(kBlockBytes, '\0');
    for (int i = 0; i < kBlockBytes; ++i)
        data[i] = static_cast<char>(0xa5 ^ (block * 0x11 + i * 3));
    if (block == 0) {
        data[2] = 0x07;
        if (isColorful)
            put(data, 24, kFactoryColours);
        return data;
    }
    data[65] = 0x05;
    put(data, 71, bytes({0x01, 0xff, 0x00}));
    put(data, 78, bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    // 400, 800, 1600, 3200, 6400, 8000, 9600 and 12000 DPI in the sensor's steps of 100.
    const QByteArray dpiCodes = bytes({0x03, 0x07, 0x0f, 0x1f, 0x3f, 0x4f, 0x5f, 0x77});
    put(data, 84, dpiCodes);
    put(data, 92, dpiCodes);
    data[100] = 0x0f;
    if (block == 1 && !isColorful)
        put(data, 104, kFactoryColours);
    return data;
}

std::uint8_t byteAt(const QByteArray &field, int index)
{
    return static_cast<std::uint8_t>(field.at(index));
}

} // namespace

VirtualMouseMemory VirtualMouseMemory::initial(const VirtualMouseConfig &config)
{
    VirtualMouseMemory m;
    m.keyboardOption = config.is560() ? bytes({0x21, 0x03}) : bytes({0x12, 0x00, 0x00, 0x05});
    m.currentDpiStage = 2;
    m.dpiStageCodes = bytes({0x03, 0x07, 0x0f, 0x1f, 0x80, 0x80, 0x80, 0x80});
    m.ledColors = kFactoryColours;
    m.fixLedColor = bytes({0xff, 0x00, 0x00});
    m.ledEffect = bytes({0x01, 0xff, 0x00});
    for (int i = 0; i < kKeyMatrices; ++i)
        m.keyMatrices.append(factoryKeyMatrix());
    for (int block = 0; block < kProfileBlocks; ++block)
        m.profileBlocks.append(factoryProfileBlock(block, config.isColorful));
    m.normalise(config);
    return m;
}

void VirtualMouseMemory::normalise(const VirtualMouseConfig &config)
{
    fit(keyboardOption, config.is560() ? 2 : 4);
    fit(dpiStageCodes, 8);
    fit(ledColors, 24);
    fit(fixLedColor, 3);
    fit(ledEffect, 3);
    fit(keyMatrices, kKeyMatrices, kMatrixBytes);
    for (QByteArray &macro : macros)
        fit(macro, kBlockBytes);
    fit(profileBlocks, kProfileBlocks, kBlockBytes);
    fit(gunSlots, kGunSlots, 3);
}

bool VirtualMouseMemory::operator==(const VirtualMouseMemory &o) const
{
    return keyboardOption == o.keyboardOption && currentDpiStage == o.currentDpiStage
        && reportRate == o.reportRate && dpiStageCount == o.dpiStageCount && dpiStageCodes == o.dpiStageCodes
        && ledColorType == o.ledColorType && ledColors == o.ledColors && fixLedColor == o.fixLedColor
        && ledEffect == o.ledEffect && keyMatrices == o.keyMatrices && macros == o.macros
        && currentKeyMatrix == o.currentKeyMatrix && currentProfile == o.currentProfile
        && profileBlocks == o.profileBlocks && gunSlots == o.gunSlots;
}

VirtualMouseFirmware::VirtualMouseFirmware(const VirtualMouseConfig &config)
    : m_config(config), m_memory(VirtualMouseMemory::initial(config))
{
}

VirtualMouseFirmware::Answer VirtualMouseFirmware::command(const std::uint8_t *command)
{
    const std::uint8_t code = command[0];
    const std::uint8_t *p = command; // p[1] is p1, as in the tables
    Answer answer;
    if (code == 0x00) {
        // The challenge is the same for both families: r1 to r4 echo p1 to p4.
        answer.accepted = true;
        for (int i = 1; i <= 4; ++i)
            answer.reply[i] = p[i];
    } else {
        answer = m_config.is560() ? command560(code, p) : command553(code, p);
    }
    if (!answer.accepted) {
        if (answer.error.isEmpty())
            answer.error = QStringLiteral("unknown command %1").arg(code, 2, 16, QLatin1Char('0'));
        return answer;
    }
    answer.reply[0] = code;
    answer.reply[7] = ReportCipher::checksum(answer.reply.data());
    if (answer.dataOutLength > 0) {
        m_pendingCode = code;
        m_pendingP1 = p[1];
    }
    return answer;
}

namespace {

// A data-phase command is usable when its length byte is one the command takes and its number lies
// in range.
VirtualMouseFirmware::Answer expectData(int length, std::initializer_list<int> lengths, bool numberOk,
                                        const char *what)
{
    VirtualMouseFirmware::Answer answer;
    bool lengthOk = false;
    for (int l : lengths)
        lengthOk = lengthOk || l == length;
    if (!lengthOk)
        answer.error = QStringLiteral("%1 with block length %2").arg(QLatin1String(what)).arg(length);
    else if (!numberOk)
        answer.error = QStringLiteral("%1 with a number out of range").arg(QLatin1String(what));
    answer.accepted = lengthOk && numberOk;
    answer.dataOutLength = answer.accepted ? length : 0;
    // Exchanges with a data phase are never enciphered past the command report.
    answer.plainReply = true;
    return answer;
}

VirtualMouseFirmware::Answer accepted()
{
    VirtualMouseFirmware::Answer answer;
    answer.accepted = true;
    return answer;
}

} // namespace

VirtualMouseFirmware::Answer VirtualMouseFirmware::command553(std::uint8_t code, const std::uint8_t *p)
{
    VirtualMouseMemory &m = m_memory;
    switch (code) {
    case 0x01:
        m.reportRate = p[1];
        return accepted();
    case 0x02:
        m.currentKeyMatrix = p[1];
        return accepted();
    case 0x03:
        m.keyboardOption = QByteArray(reinterpret_cast<const char *>(p + 1), 4);
        return accepted();
    case 0x04: {
        // p1 is always 0; p2 to p4 are times, X, Y and p5 the slot counted from 0.
        if (p[5] >= kGunSlots) {
            Answer answer;
            answer.error = QStringLiteral("gun data for slot %1").arg(p[5]);
            return answer;
        }
        m.gunSlots[p[5]] = QByteArray(reinterpret_cast<const char *>(p + 2), 3);
        return accepted();
    }
    case 0x0b:
        m.currentDpiStage = p[1];
        return accepted();
    case 0x0c:
        m.fixLedColor = QByteArray(reinterpret_cast<const char *>(p + 1), 3);
        return accepted();
    case 0x0d:
        m.ledEffect = QByteArray(reinterpret_cast<const char *>(p + 1), 3);
        return accepted();
    case 0x10:
        return expectData(p[2], {4, 24}, true, "colours");
    case 0x11:
        return expectData(p[2], {8}, true, "DPI stages");
    case 0x12:
        return expectData(p[2], {kMatrixBytes}, p[1] >= 1 && p[1] <= kKeyMatrices, "key matrix");
    case 0x13:
        return expectData(p[2], {kBlockBytes}, p[1] >= 1, "macro");
    case 0x83: {
        Answer answer = accepted();
        for (int i = 0; i < 4; ++i)
            answer.reply[1 + i] = byteAt(m.keyboardOption, i);
        return answer;
    }
    case 0x8b: {
        Answer answer = accepted();
        answer.reply[1] = m.currentDpiStage;
        return answer;
    }
    default:
        return {};
    }
}

VirtualMouseFirmware::Answer VirtualMouseFirmware::command560(std::uint8_t code, const std::uint8_t *p)
{
    VirtualMouseMemory &m = m_memory;
    switch (code) {
    case 0x01:
        m.keyboardOption = QByteArray(reinterpret_cast<const char *>(p + 1), 2);
        return accepted();
    case 0x02:
        m.currentProfile = p[1];
        return accepted();
    case 0x03:
        // p1 is the sequence number of the repeat rule; every repetition carries the same value.
        m.reportRate = p[2];
        return accepted();
    case 0x04:
        m.currentDpiStage = p[2];
        return accepted();
    case 0x0c:
        return expectData(p[2], {kBlockBytes}, p[1] < kProfileBlocks, "profile block");
    case 0x0d:
        return expectData(p[2], {kBlockBytes}, p[1] >= 1 && p[1] <= kKeyMatrices, "key matrix");
    case 0x0f:
        return expectData(p[2], {kBlockBytes}, p[1] >= 1, "macro");
    case 0x81: {
        Answer answer = accepted();
        answer.reply[1] = byteAt(m.keyboardOption, 0);
        answer.reply[2] = byteAt(m.keyboardOption, 1);
        return answer;
    }
    case 0x82: {
        Answer answer = accepted();
        answer.reply[1] = m.currentProfile;
        return answer;
    }
    case 0x84: {
        Answer answer = accepted();
        answer.reply[1] = p[1];
        answer.reply[2] = m.currentDpiStage;
        return answer;
    }
    case 0x8c: {
        if (p[1] >= kProfileBlocks) {
            Answer answer;
            answer.error = QStringLiteral("profile block %1 read").arg(p[1]);
            return answer;
        }
        Answer answer = accepted();
        answer.reply[1] = p[1];
        answer.plainReply = true;
        answer.dataIn = m.profileBlocks[p[1]];
        return answer;
    }
    default:
        return {};
    }
}

void VirtualMouseFirmware::dataPhase(const QByteArray &data)
{
    VirtualMouseMemory &m = m_memory;
    const int n = m_pendingP1;
    if (m_config.is560()) {
        switch (m_pendingCode) {
        case 0x0c:
            m.profileBlocks[n] = data;
            break;
        case 0x0d:
            // The matrix travels in a 128-byte block whose second half is padding.
            m.keyMatrices[n - 1] = data.left(kMatrixBytes);
            break;
        case 0x0f:
            m.macros[n] = data;
            break;
        }
    } else {
        switch (m_pendingCode) {
        case 0x10:
            m.ledColorType = static_cast<quint8>(n);
            m.ledColors.replace(0, data.size(), data);
            break;
        case 0x11:
            m.dpiStageCount = static_cast<quint8>(n);
            m.dpiStageCodes = data;
            break;
        case 0x12:
            m.keyMatrices[n - 1] = data;
            break;
        case 0x13:
            m.macros[n] = data;
            break;
        }
    }
    m_pendingCode = 0;
}
