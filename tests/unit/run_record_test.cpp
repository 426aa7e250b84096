// The run record: its stored text, and a schedule carried across restarts of Kelvast.
#include "schedule/run_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_worker.h"

namespace {

// As a store holds it: every field, dates of a leap year, escapes in both free texts.
const std::string STORED =
    "Kelvast run 1; time=03:00:00; days=0111110; armed=2026-11-30 22:15:03; ran=2026-12-01 2024-02-29; "
    "last=2026-12-01 03:00:00 Started 12/1/2026 03:00:00 %25%3B%0A; command=backup.cmd &&yyyymodd 50%25%3B x; "
    "state=armed";

}  // namespace

// Read back as written; anything else in the text, or a text cut short, is no record at all.
TEST(RunRecord, StoredText) {
    RunRecord record{};
    ASSERT_TRUE(parse_run_record(STORED.c_str(), record));
    const ClockReading armed = local_reading(record.armed_since, 0);
    EXPECT_EQ(std::to_string(record.target_second) + " " + record.day_mask + " " + std::to_string(armed.day_of_week) +
                  " " + std::to_string(record.last_moment - record.armed_since) + " " +
                  std::to_string(record.launched.count) + " " +
                  std::to_string(record.launched.days[0] - record.launched.days[1]) + " " + record.last_text + "|" +
                  record.command_line + "|" + std::to_string(record.stopped),
              "10800 0111110 1 17097 2 1006 Started 12/1/2026 03:00:00 %;\n|backup.cmd &&yyyymodd 50%; x|0");
    // Written where the text differs, whole: a text too long for its buffer is none and writes nothing.
    char text[RUN_RECORD_TEXT_SIZE] = "", small[40] = "x";
    EXPECT_TRUE(update_run_text(record, text, sizeof text) && !update_run_text(record, text, sizeof text));
    EXPECT_EQ(text, STORED);
    EXPECT_FALSE(update_run_text(record, small, sizeof small) || format_run_record(record, small, sizeof small) ||
                 small[0] != '\0');

    // Each "from>to|" puts `to` in the place of `from`: a record no more. So do texts one too long.
    std::string damages =
        "run 1>run 2|; days>;days|03:00:00;>24:00:00;|0111110>011111|0111110>0111112|2024-02-29>1600-02-29|"
        "2024-02-29>2023-02-29|2024-02-29>2024-13-01|2024-02-29>2024-03-00|2024-02-29>2024-02-29 |22:15:03>22:15:60|"
        "2024-02-29>2024-02-29  2024-02-28|2024-02-29>2024-2-29|22:15:03>22:15:0a|03:00:00 Started>03:00:00Started|"
        "2024-02-29>2024-02-29 2024-02-28 2024-02-27 2024-02-26 2024-02-25 2024-02-24 2024-02-23 2024-02-22|"
        "%25%3B%0A>%2|%25%3B%0A>%zz|%25%3B%0A>%00|state=armed>state=paused|state=armed>state=armed; more=1|";
    damages += "command=>command=" + std::string(228, 'c') + "|Started>" + std::string(233, 's') + "|";
    for (size_t at = 0, end; (end = damages.find('|', at)) != std::string::npos; at = end + 1) {
        const size_t to = damages.find('>', at);
        const std::string damaged = std::string(STORED).replace(STORED.find(damages.substr(at, to - at)), to - at,
                                                                damages.substr(to + 1, end - to - 1));
        EXPECT_FALSE(parse_run_record(damaged.c_str(), record) || record.valid) << damaged;
    }
    EXPECT_FALSE(parse_run_record(STORED.substr(0, STORED.size() - 1).c_str(), record));
    EXPECT_FALSE(parse_run_record(nullptr, record) || update_run_text(record, text, sizeof text) || text != STORED);
}

// Sessions of Kelvast, each killed at its end or stopped by the user (Cancel, Exit); the record goes
// through its stored text in between. "/" ends a session's outcomes.
TEST(RunRecord, CarriesTheScheduleAcrossRestarts) {
    struct Session {
        const char *start, *stop;
        bool user_stopped = false;
        uint32_t catch_up_hours = 0;
        std::vector<Change> changes = {};
        bool damaged = false;                         // the record's text before this session
        std::string command = std::string(255, 'c');  // as long as a record holds
    };
    const struct {
        std::vector<Session> sessions;
        std::string log;
    } stories[] = {
        // Started again inside the window it launched in; or after Cancel and Start again.
        {{{"0 2:59:58", "0 3:00:02"}, {"0 3:00:05", "0 3:02"}}, "S0 3:00:00 / / "},
        {{{"0 2:59:58", "0 3:00:02", true}, {"0 3:00:05", "0 3:02"}}, "S0 3:00:00 / / "},
        // Ended before the window, started after it: missed, or made up at most the hours asked after.
        {{{"0 2:59", "0 2:59:30"}, {"0 3:05", "0 3:06"}}, "/ A0 3:00:00 / "},
        {{{"0 2:59", "0 2:59:30"}, {"0 4:00", "0 4:01", false, 1}}, "/ S0 4:00:00+ / "},
        {{{"0 2:59", "0 2:59:30"}, {"0 4:00:01", "0 4:01", false, 1}}, "/ A0 3:00:00 / "},
        // Stopped by the user: nothing is owed. Another schedule: a record of its own.
        {{{"0 2:59", "0 2:59:30", true}, {"0 3:05", "0 3:06", false, 1}}, "/ / "},
        {{{"0 2:59:58", "0 3:00:02"}, {"0 3:00:05", "0 3:02", false, 0, {}, false, "d"}}, "S0 3:00:00 / S0 3:00:05 / "},
        // A long absence is one report, of the newest window; one reported while running is not again.
        {{{"0 3:10", "0 3:11"}, {"9 12:00", "9 12:01"}}, "/ A9 3:00:00 / "},
        {{{"0 2:59", "0 3:06", false, 0, {{"0 2:59:30", 0, 360}}}, {"0 3:10", "0 3:11"}}, "M0 3:00:00 / / "},
        // A damaged record is none: the new one does not know the day ran.
        {{{"0 2:59:58", "0 3:00:02"}, {"0 3:00:05", "0 3:02", false, 0, {}, true}}, "S0 3:00:00 / S0 3:00:05 / "},
    };
    for (const auto& story : stories) {
        RunRecord record{};
        std::string log;
        for (const Session& session : story.sessions) {
            char text[RUN_RECORD_TEXT_SIZE] = "";
            format_run_record(record, text, sizeof text);
            text[0] = session.damaged ? 'k' : text[0];
            parse_run_record(text, record);
            const RunStart start = start_run(record, session.command.c_str(), 3 * 3600, "1111111",
                                             fake_time(session.start), session.catch_up_hours * 3600);
            const Case run{"0 3:00", "1111111",    session.start,  0, session.changes, session.stop,
                           "",       start.worker, session.command};
            FakePlatform platform(run);
            run_worker(platform.request, run.from, platform);
            for (const RunOutcome& outcome : platform.outcomes) {
                note_run_outcome(record, outcome, std::string(255, 's').c_str());
            }
            if (session.user_stopped) {
                stop_run(record);
            }
            log += platform.log + "/ ";
        }
        EXPECT_EQ(log, story.log) << story.sessions[0].start;
    }
}
