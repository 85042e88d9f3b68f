#include "DeviceLink.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "Checksum.h"
#include "HexDigits.h"
#include "ShownName.h"

namespace {

constexpr int kBlockSize = kEdidBlockSize;
// A table upload's entries of the program are rows of four bytes.
constexpr std::size_t kProgramRowBytes = 4;

void countTick(std::uint8_t &ticks)
{
    // Saturate: a counter that wrapped would postpone a time-out by 25 s.
    if (ticks < 255)
        ++ticks;
}

LineUnit framed(std::uint8_t value, int pauseAfterMs = 0)
{
    return LineUnit{{0x20, value, 0x20}, pauseAfterMs};
}

} // namespace

DeviceLink::DeviceLink(DeviceLinkState &state, LinkValues values, LineBundle &bundle)
    : m_state(state), m_values(values),
      m_timer1(bundle.clock().makeTimer(LinkClock::Repeat::Every, [this] { stepTick(); })),
      m_timer2(bundle.clock().makeTimer(LinkClock::Repeat::Every, [this] { receiveTick(); })),
      m_settle(bundle.clock().makeTimer(LinkClock::Repeat::Once, [this] { settled(); }))
{
    connect(this, &DeviceLink::lineRequest, &bundle.line(), &LineEndpoint::request, Qt::QueuedConnection);
    connect(&bundle.line(), &LineEndpoint::event, this, &DeviceLink::lineEvent, Qt::QueuedConnection);
    m_timer1->start(kStepTickMs);
    m_timer2->start(kReceiveTickMs);
}

DeviceLink::~DeviceLink() = default;

bool DeviceLink::LinkBusy() const
{
    return std::any_of(kAllOperations.begin(), kAllOperations.end(),
                       [this](Operation op) { return m_state.step(op) != Idle; });
}

bool DeviceLink::payloadPending(Operation op) const
{
    const std::uint8_t s = m_state.step(op);
    return s == AwaitAck || s == AckIn;
}

// Requests ----------------------------------------------------------------------------------

bool DeviceLink::StartLinkOperation(Operation op, std::vector<std::uint8_t> table)
{
    const bool needsTable = operationInfo(op).payload == Payload::Program;
    if (m_state.portOpen != 1 || m_state.devicePresent != 1 || LinkBusy() || (needsTable && table.empty())) {
        emit finished(op, Outcome::Refused);
        return false;
    }
    emit receiveLogCleared();
    begin(op);
    if (needsTable)
        m_op->table = std::move(table);
    const OperationInfo &info = row();
    if (info.payload == Payload::EdidBlocks) {
        m_state.edidBlockOffset = 0;
        m_state.edidLastBlockRequested = 0;
    }
    if (info.progressAtStart >= 0)
        setProgress(info.progressAtStart);
    step() = AwaitAck;
    sendCommand(op);
    return true;
}

void DeviceLink::request(const LinkRequest &request)
{
    if (request.kind == LinkRequest::Kind::Start) {
        StartLinkOperation(request.op, request.table);
        return;
    }
    // A selection window closed while its upload waits for the acknowledgment: the payload
    // carries the flags its Upload accepted.
    const ByteSpan shared =
        request.op == Operation::TMGS ? m_values.timingSelection : m_values.patternSelection;
    if ((request.op == Operation::TMGS || request.op == Operation::PTNS) && m_op && m_op->op == request.op &&
        payloadPending(request.op) && request.table.size() == shared.size)
        m_op->table = request.table;
}

void DeviceLink::connectPort(const PortChoice &port, bool quietly)
{
    if (!quietly)
        emit receiveLogCleared();
    m_openQuietly = quietly;
    m_heard.clear();
    if (m_state.portOpen == 1 || m_opening) {
        closeLine();
        m_state.portOpen = 0;
    }
    // A new connection: whatever ran on the old one could only be answered by the presence
    // check's reply now, so it ends quietly, as on Disconnect.
    abandonOperations();
    m_state.portNumber = static_cast<std::uint8_t>(port.number);
    m_opening = port;
    m_openRequest = ++m_serial;
    // A name that cannot be opened as given is not opened at all: never another device.
    if (!port.problem.isEmpty()) {
        LineEvent refused;
        refused.kind = LineEvent::Kind::OpenFailed;
        refused.serial = m_openRequest;
        refused.error = {OpenError::Stage::Open, port.device.toStdString(), port.problem.toStdString()};
        opened(refused);
        return;
    }
    LineRequest open;
    open.kind = LineRequest::Kind::Open;
    open.serial = m_openRequest;
    open.device = port.device;
    emit lineRequest(open);
}

void DeviceLink::cancelConnect()
{
    if (m_opening)
        closeLine();
}

void DeviceLink::disconnectPort()
{
    m_state.portOpen = 0;
    m_state.devicePresent = 0;
    closeLine();
    abandonOperations();
    showDeviceAbsent();
}

void DeviceLink::closeDown()
{
    abandonOperations();
    closeLine();
    m_state.portOpen = 0;
}

void DeviceLink::messageClosed(Operation op)
{
    if (m_absentWhenClosed != op)
        return;
    m_absentWhenClosed.reset();
    m_state.ackTicks = 0;
    showDeviceAbsent();
}

void DeviceLink::closeLine()
{
    // An open under way is given up with it.
    m_opening.reset();
    m_settle->stop();
    LineRequest close;
    close.kind = LineRequest::Kind::Close;
    emit lineRequest(close);
}

void DeviceLink::abandonOperations()
{
    m_absentWhenClosed.reset();
    if (!m_op)
        return;
    const Operation op = m_op->op;
    for (Operation each : kAllOperations)
        m_state.step(each) = Idle;
    m_state.ackTicks = 0;
    m_state.replyTicks = 0;
    m_state.edidLastBlockRequested = 0;
    m_op.reset();
    // The bar belongs to the operation that ended; after a finished one it keeps its 100 %.
    setProgress(0);
    emit finished(op, Outcome::Abandoned);
}

// The line --------------------------------------------------------------------------------

void DeviceLink::begin(Operation op)
{
    m_absentWhenClosed.reset();
    m_op = InFlight{};
    m_op->op = op;
}

void DeviceLink::send(JobKind kind, std::vector<LineUnit> units, std::vector<UnitShow> shows)
{
    LineRequest r;
    r.kind = LineRequest::Kind::Send;
    r.job.serial = m_op->job = ++m_serial;
    r.job.kind = kind;
    r.job.units = std::move(units);
    if (kind == JobKind::Request)
        r.job.wholeLength = row().blockAnswerLength;
    else
        r.job.acknowledgment = kind == JobKind::Command ? row().acknowledgment : "OK";
    m_op->sending = true;
    m_op->answerWhole = false;
    m_op->shows = std::move(shows);
    emit lineRequest(r);
}

void DeviceLink::sendCommand(Operation op)
{
    // The command text, 0x20, the argument byte, 0x20, 0x0A, 0x0D.
    const char *text = commandText(op);
    std::vector<std::uint8_t> line(text, text + std::strlen(text));
    line.insert(line.end(), {0x20, commandArgument(op), 0x20, 0x0A, 0x0D});
    send(JobKind::Command, {LineUnit{std::move(line), 0}});
}

std::uint8_t DeviceLink::commandArgument(Operation op) const
{
    // A table upload's argument is the number of framed bytes after it: count, entries, checksum.
    switch (operationInfo(op).payload) {
    case Payload::TimingSelection: return static_cast<std::uint8_t>(1 + m_values.timingSelection.size + 1);
    case Payload::PatternSelection: return static_cast<std::uint8_t>(1 + m_values.patternSelection.size + 1);
    case Payload::Program: return static_cast<std::uint8_t>(1 + (m_op ? m_op->table->size() : 0) + 1);
    default: return operationInfo(op).argument;
    }
}

void DeviceLink::lineEvent(const LineEvent &event)
{
    emit traffic(event);
    switch (event.kind) {
    case LineEvent::Kind::Opened:
    case LineEvent::Kind::OpenFailed: opened(event); break;
    case LineEvent::Kind::UnitOut:
        if (m_op && event.serial == m_op->job && event.unit >= 0 &&
            static_cast<std::size_t>(event.unit) < m_op->shows.size()) {
            const UnitShow &show = m_op->shows[static_cast<std::size_t>(event.unit)];
            if (show.progress >= 0)
                setProgress(show.progress);
            if (show.panelOwnerDrawn)
                emit progressPanelOwnerDrawn();
        }
        break;
    case LineEvent::Kind::JobDone: jobDone(event); break;
    case LineEvent::Kind::Received:
    case LineEvent::Kind::AnswerWhole:
    case LineEvent::Kind::EarlyAnswer: m_inbox.push_back(event); break;
    case LineEvent::Kind::HungUp: hungUp(event); break;
    case LineEvent::Kind::Closed: break;
    }
}

void DeviceLink::opened(const LineEvent &event)
{
    if (!m_opening || event.serial != m_openRequest)
        return;
    if (event.kind == LineEvent::Kind::Opened) {
        m_inbox.clear();
        m_inboxHeard = 0;
        if (m_openQuietly)
            m_settle->start(kSettleMs);
        else
            settled();
        return;
    }
    const PortChoice port = *m_opening;
    m_opening.reset();
    if (m_openQuietly) {
        emit connectFinished(false, {}, QString::fromStdString(event.error.reason));
        return;
    }
    m_state.portOpen = 0;
    // The old port is closed by now, so the generator cannot be reached: say so.
    showDeviceAbsent();
    const OpenError &e = event.error;
    QString message;
    switch (e.stage) {
    case OpenError::Stage::Open:
        message = QString::fromStdString(openFailedMessage(shownName(port.label).toStdString()));
        break;
    case OpenError::Stage::LineParameters: message = QString::fromLatin1(kLineParametersFailedMessage); break;
    case OpenError::Stage::SecondSetup: message = QString::fromLatin1(kSecondSetupFailedMessage); break;
    }
    const QString detail = e.stage != OpenError::Stage::Open || e.reason.empty()
                               ? QString()
                               : QString::fromStdString(shownName(e.device) + ": " + e.reason);
    emit connectFinished(false, message, detail);
}

void DeviceLink::settled()
{
    if (!m_opening)
        return;
    m_opening.reset();
    m_state.portOpen = 1;
    startPresenceCheck();
    emit connectFinished(true, {}, {});
}

void DeviceLink::hungUp(const LineEvent &event)
{
    const QString reason = QString::fromStdString(event.error.reason);
    // What the line said before it went is what the operator wants to read.
    // It is told now, and not again when the next receive tick takes it.
    for (std::size_t i = m_inboxHeard; i < m_inbox.size(); ++i)
        if (m_inbox[i].kind == LineEvent::Kind::Received)
            m_heard.append(m_inbox[i].bytes);
    m_inboxHeard = m_inbox.size();
    if (m_opening && m_openQuietly) {
        // Back for a moment only: not back.
        closeLine();
        tellWhatWasHeard();
        emit connectFinished(false, {}, reason);
        return;
    }
    if (m_state.portOpen != 1)
        return;
    if (m_op)
        m_op->lineLost = true;
    tellWhatWasHeard();
    emit lineLost(reason);
    showDeviceAbsent();
}

void DeviceLink::tellWhatWasHeard()
{
    // Printable text only, a line end as a separator, and not at all when nothing but noise came.
    QString text;
    int letters = 0;
    for (const char c : m_heard.right(kHeardLimit)) {
        letters += std::isalpha(static_cast<unsigned char>(c)) != 0 ? 1 : 0;
        const auto u = static_cast<unsigned char>(c);
        if (u == '\r' || u == '\n') {
            if (!text.isEmpty() && !text.endsWith(QStringLiteral(" / ")))
                text += QStringLiteral(" / ");
        } else if (u >= 0x20 && u < 0x7F) {
            text += QLatin1Char(c);
        } else {
            text += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        }
    }
    m_heard.clear();
    if (text.endsWith(QStringLiteral(" / ")))
        text.chop(3);
    if (letters >= 2)
        emit lineSaid(text.trimmed());
}

void DeviceLink::jobDone(const LineEvent &event)
{
    if (!m_op || event.serial != m_op->job || !m_op->sending)
        return;
    m_op->sending = false;
    if (!event.written)
        m_op->writeFailed = true;
    // Time-outs count from the end of a line, and the reply starts afresh; what came meanwhile
    // waits in the inbox and is taken now, as the tick that fell during the line would have.
    m_state.ackTicks = 0;
    m_state.replyTicks = 0;
    m_state.replyLength = 0;
    receiveTick();
}

// The ticks -------------------------------------------------------------------------------

void DeviceLink::receiveTick()
{
    if (m_state.portOpen == 0)
        return;
    // The line is busy with the operation's job; its end runs this tick.
    if (m_op && m_op->sending)
        return;
    if (m_op) {
        const std::uint8_t s = step();
        if (s == AwaitAck)
            countTick(m_state.ackTicks);
        // A block is waited for whole, and that wait counts too: a generator that stops in the
        // middle of a read runs into a time-out instead of stalling the link.
        if (s == AwaitReply || (s == ReplyIn && row().payload == Payload::EdidBlocks && !m_op->answerWhole))
            countTick(m_state.replyTicks);
    }
    bool arrived = false;
    while (!m_inbox.empty()) {
        const LineEvent e = std::move(m_inbox.front());
        m_inbox.pop_front();
        const bool heard = m_inboxHeard > 0;
        m_inboxHeard -= heard ? 1 : 0;
        const bool ours = m_op && e.serial == m_op->job;
        switch (e.kind) {
        case LineEvent::Kind::Received: {
            emit received(e.bytes);
            if (!heard)
                m_heard.append(e.bytes);
            if (m_heard.size() > 4 * kHeardLimit)
                m_heard = m_heard.right(kHeardLimit);
            if (!ours)
                break;
            // What does not fit the reply buffer is dropped.
            const std::size_t length = std::min<std::size_t>(m_state.replyLength, kLinkBufferSize);
            const std::size_t taken =
                std::min<std::size_t>(kLinkBufferSize - length, static_cast<std::size_t>(e.bytes.size()));
            std::memcpy(m_state.receiveBuffer.data(), e.bytes.constData(),
                        std::min<std::size_t>(kLinkBufferSize, static_cast<std::size_t>(e.bytes.size())));
            std::memcpy(m_state.replyBuffer.data() + length, e.bytes.constData(), taken);
            m_state.replyLength = static_cast<std::uint32_t>(length + taken);
            arrived = arrived || !e.bytes.isEmpty();
            break;
        }
        case LineEvent::Kind::AnswerWhole:
            if (ours)
                m_op->answerWhole = true;
            break;
        case LineEvent::Kind::EarlyAnswer:
            if (ours)
                m_op->early = true;
            break;
        default: break;
        }
    }
    if (!arrived || m_state.replyLength == 0 || !m_op)
        return;
    std::uint8_t &s = step();
    if (s == AwaitAck)
        s = AckIn;
    else if (s == AwaitReply)
        s = ReplyIn;
}

void DeviceLink::stepTick()
{
    if (!m_op || m_op->sending)
        return;
    const OperationInfo &info = row();
    switch (step()) {
    case AwaitAck:
        if (m_op->lineLost || m_state.ackTicks > info.ackTimeoutTicks)
            finish(m_op->writeFailed ? Outcome::WriteFailed : Outcome::NoResponse);
        break;
    case AckIn: handleAcknowledgment(); break;
    case AwaitReply:
        if (m_op->lineLost || (info.replyTimeoutTicks > 0 && m_state.replyTicks > info.replyTimeoutTicks))
            finish(m_op->writeFailed ? Outcome::WriteFailed : Outcome::NoResponse);
        break;
    case ReplyIn:
        if (info.payload == Payload::EdidBlocks)
            blockTick();
        else
            handleFinalAnswer();
        break;
    default: break;
    }
}

bool DeviceLink::checkReply()
{
    // Only the bytes collected since the last reset count: an earlier answer must never
    // acknowledge a later command.
    const char *wanted = row().acknowledgment;
    const std::size_t wantedLength = std::strlen(wanted);
    const std::size_t length = std::min<std::size_t>(m_state.replyLength, kLinkBufferSize);
    const auto begin = m_state.replyBuffer.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(length);
    const bool found =
        length >= wantedLength && std::search(begin, end, wanted, wanted + wantedLength) != end;
    m_state.replyBuffer.fill(0);
    m_state.replyLength = 0;
    m_op->answerWhole = false;
    return found;
}

void DeviceLink::handleAcknowledgment()
{
    // Halves of one answer are read as one: the line says when it is whole.
    if (!m_op->answerWhole)
        return;
    if (!checkReply()) {
        finish(Outcome::NotAcknowledged);
        return;
    }
    const OperationInfo &info = row();
    m_heard.clear(); // an acknowledgment is no news for the operator
    if (info.payload == Payload::None) {
        finish(Outcome::Succeeded);
        return;
    }
    step() = AwaitReply;
    if (info.progressAfterAck >= 0)
        setProgress(info.progressAfterAck);
    if (info.payload == Payload::EdidBlocks) {
        m_state.ackTicks = 0;
        requestBlock(m_state.edidBlockOffset);
        m_state.edidBlockOffset += kBlockSize;
    } else {
        startPayload();
    }
}

void DeviceLink::handleFinalAnswer()
{
    if (!m_op->answerWhole)
        return;
    const bool acknowledged = checkReply();
    // The generator answered before it had the whole payload, so it cannot have it, whatever
    // the answer says.
    if (m_op->early)
        finish(Outcome::EarlyAnswer);
    else
        finish(acknowledged ? Outcome::Succeeded : Outcome::FinalRefused);
}

void DeviceLink::startPayload()
{
    // The values are read now, when the payload starts, and go out as they were then.
    std::vector<LineUnit> units;
    std::vector<UnitShow> shows;
    const OperationInfo &info = row();
    const auto table = [&](const std::vector<std::uint8_t> &entries, std::size_t bytesPerEntry) {
        const std::size_t count = entries.size() / bytesPerEntry;
        units.push_back(framed(static_cast<std::uint8_t>(count)));
        shows.emplace_back();
        int bar = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            units.push_back(framed(entries[i]));
            shows.emplace_back();
            if ((i + 1) % bytesPerEntry != 0)
                continue;
            // Last byte of an entry: the bar rises to (entry + 1) / count, with the old loop's pause.
            const int entry = static_cast<int>(i / bytesPerEntry);
            const int percent = (entry * 100 + 100) / static_cast<int>(count);
            if (percent > bar) {
                bar = percent;
                shows.back().progress = percent;
                units.back().pauseAfterMs = kProgressPauseMs;
            }
        }
        shows.back().panelOwnerDrawn = true;
        // What the checksum closes: the count and the entries.
        std::vector<std::uint8_t> sent{static_cast<std::uint8_t>(count)};
        sent.insert(sent.end(), entries.begin(), entries.end());
        units.push_back(framed(zeroSumChecksum(sent.data(), sent.data() + sent.size())));
        shows.emplace_back();
    };
    const auto flags = [&](const ByteSpan &shared) {
        std::vector<std::uint8_t> entries =
            m_op->table.value_or(std::vector<std::uint8_t>(shared.begin(), shared.end()));
        for (std::uint8_t &flag : entries)
            flag = flag != 0 ? 1 : 0;
        table(entries, 1);
    };
    switch (info.payload) {
    case Payload::TimingIndex: units.push_back(framed(m_values.currentTimingIndex)); break;
    case Payload::PatternIndex: units.push_back(framed(m_values.currentPatternIndex)); break;
    case Payload::WriteCommand: units.push_back(framed(1)); break;
    case Payload::TimingSelection: flags(m_values.timingSelection); break;
    case Payload::PatternSelection: flags(m_values.patternSelection); break;
    case Payload::Program: table(*m_op->table, kProgramRowBytes); break;
    case Payload::EdidBytes: {
        const ByteSpan edid = m_values.EdidBuffer;
        setProgress(0);
        for (std::size_t i = 0; i < edid.size; ++i) {
            units.push_back(framed(edid.data[i], kFramedBytePauseEdidMs));
            // The bar before each byte: once the one before it is out.
            UnitShow show;
            if (i + 1 < edid.size)
                show.progress = static_cast<int>((i + 1) * 100 / (edid.size - 1));
            shows.push_back(show);
        }
        break;
    }
    case Payload::None:
    case Payload::EdidBlocks: break;
    }
    send(JobKind::Payload, std::move(units), std::move(shows));
}

void DeviceLink::requestBlock(int offset)
{
    send(JobKind::Request, {framed(static_cast<std::uint8_t>(offset & 0xFF))});
}

void DeviceLink::blockTick()
{
    // A block is decoded only from a whole answer to its own request; until then the read waits,
    // counting towards its time-out.
    if (!m_op->answerWhole) {
        if (m_op->lineLost || m_state.replyTicks > row().replyTimeoutTicks)
            finish(Outcome::NoResponse);
        return;
    }
    const int size = static_cast<int>(m_values.EdidBuffer.size);
    const int offset = m_state.edidBlockOffset - kBlockSize;
    const auto &reply = m_state.replyBuffer;
    std::array<std::uint8_t, kBlockSize> block{};
    bool wellFormed = offset >= 0 && offset + kBlockSize <= size &&
                      m_state.replyLength >= kEdidBlockAnswerLength && reply[0] == 'A' &&
                      reply[kEdidBlockAnswerLength - 1] == 'T';
    for (std::size_t k = 0; wellFormed && k < block.size(); ++k) {
        const int high = hexDigitValue(reply[1 + 2 * k]);
        const int low = hexDigitValue(reply[2 + 2 * k]);
        wellFormed = high >= 0 && low >= 0;
        block[k] = static_cast<std::uint8_t>(high * 16 + low);
    }
    // A malformed block is skipped: that block keeps its old bytes, and the read goes on.
    if (wellFormed) {
        std::copy(block.begin(), block.end(), m_values.EdidBuffer.begin() + offset);
        m_heard.clear();
    } else {
        m_op->blockMalformed = true;
    }

    if (m_state.edidLastBlockRequested == 1) {
        m_state.edidLastBlockRequested = 0;
        m_state.edidBlockOffset = size;
        m_state.replyLength = 0;
        // A skipped block leaves old bytes behind: the read is not whole, and must not say so.
        finish(m_op->blockMalformed ? Outcome::MalformedBlock : Outcome::Succeeded);
        return;
    }
    const int next = m_state.edidBlockOffset;
    if (next < size) {
        requestBlock(next);
        setProgress(next * 100 / (size - 1));
        if (next >= size - kBlockSize - 1)
            m_state.edidLastBlockRequested = 1;
    }
    m_state.edidBlockOffset += kBlockSize;
}

void DeviceLink::finish(Outcome outcome)
{
    const Operation op = m_op->op;
    const OperationInfo &info = row();
    step() = Idle;
    m_state.ackTicks = 0;
    m_state.replyTicks = 0;
    m_op.reset();

    // Every branch sets its step and its displays before its message, so a tick while the
    // message is up finds nothing new to do; Write EDID alone turns the display absent once its
    // message is closed.
    const bool errorAnswer = outcome == Outcome::NotAcknowledged || outcome == Outcome::FinalRefused;
    switch (outcome) {
    case Outcome::Succeeded:
        if (info.progressOnSuccess >= 0)
            setProgress(info.progressOnSuccess);
        if (info.presentOnSuccess)
            showDevicePresent();
        break;
    case Outcome::NoResponse:
    case Outcome::WriteFailed: showDeviceAbsent(); break;
    default:
        if (errorAnswer && info.absentOnError == AbsentOnError::BeforeMessage)
            showDeviceAbsent();
        break;
    }
    if (errorAnswer && info.absentOnError == AbsentOnError::AfterMessage)
        m_absentWhenClosed = op;
    if (outcome == Outcome::Succeeded)
        m_heard.clear();
    else
        tellWhatWasHeard();
    emit finished(op, outcome);
}

void DeviceLink::startPresenceCheck()
{
    // Whatever else may be running: the dialog's presence check ignores the start rule.
    begin(Operation::URTCNT);
    m_state.stepURTCNT = AwaitAck;
    sendCommand(Operation::URTCNT);
}

// What the operator sees --------------------------------------------------------------------

void DeviceLink::showDevicePresent()
{
    m_state.devicePresent = 1;
    emit presenceChanged(true);
}

void DeviceLink::showDeviceAbsent()
{
    m_state.devicePresent = 0;
    emit presenceChanged(false);
    setProgress(0);
}

void DeviceLink::setProgress(int percent)
{
    m_progress = percent;
    emit progressChanged(percent);
}
