// A command's way to the instrument: the port opened, each request sent and how it ended, the
// instrument identified.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <thread>

#include "cli/run.h"
#include "link/port_backend.h"
#include "ops/discovery.h"
#include "ops/hart7.h"

namespace cli {

Ending endingOf(const Exchange& e) {
    switch (e.end) {
        case Exchange::End::Timeout:
            return {kNoReply, "no reply"};
        case Exchange::End::PortLost:
            return {kPortFailed, "the port is gone (modem unplugged?)"};
        case Exchange::End::WriteFailed:
            return {kPortFailed, "the port refused the frame"};
        case Exchange::End::Shown:
            return {kOk, {}};
        case Exchange::End::Decoded:
            break;
    }
    // A read's decoder takes the data whatever the response code; the code still fails it,
    // and a warning is no clean success either.
    const bool failureCode = e.responseCode && *e.responseCode != 0;
    if (e.outcome.result == hart::Result::Warning)
        return {kFailureCode, "warning: response code " +
                                  std::to_string(e.responseCode.value_or(0)) +
                                  " (the data is shown)"};
    if (failureCode)
        return {kFailureCode, "response code " + std::to_string(e.responseCode.value_or(0))};
    if (e.outcome.result != hart::Result::Done)
        return {kUnreadable, "no readable reply to the request"};
    return {kOk, {}};
}

std::string openFailure(const std::string& port, const serial::ECommsError& e,
                        const std::string& portError) {
    if (serial::isHartIpName(port))
        return "cannot open " + port + ": " + (portError.empty() ? e.what() : portError);
    std::string message =
        "cannot open " + port + " (" + serial::commDevicePath(port) + "): " + e.what();
    if (e.osError() != 0) message += ": " + std::string(std::strerror(e.osError()));
#ifndef _WIN32
    if (e.osError() == EACCES || e.osError() == EPERM)
        message += " (join the dialout group and log in again)";
#endif
    return message;
}

bool Runner::step(const ops::Request& r) {
    if (!r.refusal.empty()) {
        result_.status = r.refusal;
        result_.exit = kRefused;
        result_.message = "refused: " + r.refusal;
        return false;
    }
    const std::uint64_t errorsBefore = line_.errorCount();
    last_ = line_.exchange(r, session, std::chrono::milliseconds(options_.timeoutMs));
    // Busy, or a gateway still waiting for the instrument: the same request again, a bounded
    // number of times, each said on standard error.
    for (int attempt = 1;; ++attempt) {
        const auto resend = ops::hart7::resendAfter(last_.responseCode, attempt);
        if (!resend) break;
        std::cerr << "hart-cli: " << resend->english << "\n" << std::flush;
        std::this_thread::sleep_for(ops::hart7::kResendPause);
        last_ = line_.exchange(r, session, std::chrono::milliseconds(options_.timeoutMs));
    }
    // What the port says went wrong, when it said so during this request.
    const std::string why = line_.errorCount() != errorsBefore ? line_.lastError() : "";
    result_.status = last_.outcome.status;
    if (last_.responseCode && ops::hart7::isResendCode(*last_.responseCode))
        result_.status = ops::hart7::gaveUp(*last_.responseCode);
    result_.responseCode = last_.responseCode;
    result_.deviceStatus = last_.deviceStatus;
    if (last_.end == Exchange::End::Shown) result_.reply = last_.reply;
    const Ending e = endingOf(last_);
    result_.exit = e.exit;
    result_.message = e.message;
    // A HART-IP device says why it did not pass the request on, or why the session ended.
    if (!why.empty() && e.exit == kNoReply) result_.message += " (" + why + ")";
    if (!why.empty() && e.exit == kPortFailed) result_.message = "the port is gone: " + why;
    return result_.exit == kOk;
}

bool Runner::identify(LineControls& controls, bool scan) {
    if (!scan) return step(ops::pollChosen(controls, session));
    ops::Request r = ops::build("Button16", controls, session);
    for (;;) {
        const bool ok = step(r);
        if (ok && last_.outcome.stopScan) return true;
        if (result_.exit == kPortFailed) return false;
        ops::ScanStep next = ops::scanStep(controls, session);
        if (!next.request) {
            result_.status = next.notFound;
            result_.exit = kNoReply;
            result_.message = "no instrument at addresses 0 to 15";
            return false;
        }
        r = *next.request;
    }
}

bool openPort(Line& line, const std::string& port, Result& result) {
    try {
        line.open(port);
        return true;
    } catch (const serial::ECommsError& e) {
        result.exit = kPortOpen;
        result.message = openFailure(port, e, line.lastError());
        return false;
    }
}

std::function<void(const std::string&)> logTo(const Options& o, std::ostream& err) {
    if (!o.log) return nullptr;
    return [&err](const std::string& l) { err << l << "\n" << std::flush; };
}

}  // namespace cli
