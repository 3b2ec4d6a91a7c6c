// Finding an instrument by tag or long tag where nobody answered the broadcast (commands 11
// and 21; older instruments and some multiplexers do not): every polling address of the loop
// is polled, and the tag of each instrument that answers read and compared. hart-cli and the
// window drive the same steps, each with its own line and timing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hart/outcome.h"
#include "ops/controls.h"
#include "ops/request.h"
#include "ops/session.h"

namespace ops {

// A poll at an address of a loop of HART 6 or 7 instruments goes up to 63.
inline constexpr int kLastSweepAddress = 63;

class TagSweep {
  public:
    // `findButton`: the find by tag or the find by long tag; the wanted text is its edit's.
    TagSweep(std::string_view findButton, const Controls& controls);

    // The next request: a poll at the next address, or the tag read of the instrument that
    // just answered there. None once the sweep is over; found() then tells how it ended.
    std::optional<Request> next(const Controls& controls, Session& session);
    // How the request `next` gave last ended; none when nothing answered in time.
    void taken(const hart::Outcome* outcome);

    bool over() const { return over_; }
    bool found() const { return found_; }
    int address() const { return address_; }
    bool longTag() const { return longTag_; }
    // The poll and the tag read of the instrument found.
    const hart::Outcome& identity() const { return poll_; }
    const hart::Outcome& tag() const { return tag_; }
    // The status line while the sweep runs, and once it found none.
    std::string progress() const;
    static std::string_view notFound();
    static std::string_view foundText();

  private:
    bool longTag_ = false;
    std::string wanted_;
    int address_ = 0;
    bool readingTag_ = false;  // the request out is the tag read at address_
    bool over_ = false;
    bool found_ = false;
    hart::Outcome poll_;
    hart::Outcome tag_;
};

}  // namespace ops
