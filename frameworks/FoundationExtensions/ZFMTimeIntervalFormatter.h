#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/locale/Calendar.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/foundation/locale/Locale.h"

#include <cmath>
#include <cstdint>
#include <optional>

// Time intervals as relative phrases: "3 minutes ago", "2 hours from now", "about 1 hour ago", and with idioms
// "yesterday" or "next week" in English, Spanish and Dutch. Words come from the main bundle's table "ZORFormatters".
class ZFMTimeIntervalFormatter : public fnd::Formatter, public fnd::Coding {
    FND_OBJECT(ZFMTimeIntervalFormatter)

public:
    ZFMTimeIntervalFormatter();

    const fnd::Locale& locale() const { return m_locale; }
    void setLocale(const fnd::Locale& locale) { m_locale = locale; }
    const fnd::Calendar& calendar() const { return m_calendar; }
    void setCalendar(const fnd::Calendar& calendar) { m_calendar = calendar; }

    const fnd::String& pastDeicticExpression() const { return m_past; }
    void setPastDeicticExpression(const fnd::String& expression) { m_past = expression; }
    const fnd::String& presentDeicticExpression() const { return m_present; }
    void setPresentDeicticExpression(const fnd::String& expression) { m_present = expression; }
    const fnd::String& futureDeicticExpression() const { return m_future; }
    void setFutureDeicticExpression(const fnd::String& expression) { m_future = expression; }
    // "%@ %@": the phrase and the past or future word (in Spanish the past word first).
    const fnd::String& deicticExpressionFormat() const { return m_deicticFormat; }
    void setDeicticExpressionFormat(const fnd::String& format) { m_deicticFormat = format; }
    // "about %@", for a phrase that left units out.
    const fnd::String& approximateQualifierFormat() const { return m_approximateFormat; }
    void setApproximateQualifierFormat(const fnd::String& format) { m_approximateFormat = format; }

    // Intervals shorter than this many seconds are the present.
    double presentTimeIntervalMargin() const { return m_presentMargin; }
    // A margin that is not finite is ignored.
    void setPresentTimeIntervalMargin(double seconds)
    {
        if (std::isfinite(seconds))
            m_presentMargin = seconds;
    }
    bool usesIdiomaticDeicticExpressions() const { return m_usesIdioms; }
    void setUsesIdiomaticDeicticExpressions(bool uses) { m_usesIdioms = uses; }
    bool usesApproximateQualifier() const { return m_usesApproximateQualifier; }
    void setUsesApproximateQualifier(bool uses) { m_usesApproximateQualifier = uses; }
    bool usesAbbreviatedCalendarUnits() const { return m_usesAbbreviatedUnits; }
    void setUsesAbbreviatedCalendarUnits(bool uses) { m_usesAbbreviatedUnits = uses; }
    // How many units a phrase shows at most; 0 for no limit.
    std::uint64_t numberOfSignificantUnits() const { return m_significantUnits; }
    void setNumberOfSignificantUnits(std::uint64_t count) { m_significantUnits = count; }
    // The smallest unit shown (a calendar-unit flag): units below it are left out, the first one too.
    fnd::CalendarUnitFlags leastSignificantUnit() const { return m_leastSignificantUnit; }
    void setLeastSignificantUnit(fnd::CalendarUnitFlags unit) { m_leastSignificantUnit = unit; }

    // The phrase for the time from now to now + seconds (negative seconds lie in the past).
    std::optional<fnd::String> stringForTimeInterval(double seconds) const;
    // The phrase for the time from the starting date to the ending date, seen from the starting date: an ending
    // date before it lies in the past. nullopt when no unit is left to show.
    std::optional<fnd::String> stringForTimeIntervalFromDate(fnd::Date startingDate, fnd::Date toDate) const;
    // The unit's word, singular for exactly 1; nullopt for a flag that is not a unit of the phrases.
    std::optional<fnd::String> localizedStringForNumber(std::int64_t number, fnd::CalendarUnitFlags unit) const;
    // The idiom for the difference in the locale's language, if it has one.
    std::optional<fnd::String> localizedIdiomaticDeicticExpressionForComponents(
        const fnd::DateComponents& components) const;
    static std::optional<fnd::String> enRelativeDateStringForComponents(const fnd::DateComponents& components);
    static std::optional<fnd::String> esRelativeDateStringForComponents(const fnd::DateComponents& components);
    static std::optional<fnd::String> nlRelativeDateStringForComponents(const fnd::DateComponents& components);

    // Numbers are seconds; nothing else has a text.
    std::optional<fnd::String> stringForObjectValue(const fnd::Value& value) const override;
    // Not offered: the answer is the reason.
    std::expected<fnd::Value, fnd::String> getObjectValue(const fnd::String& string) const override;
    std::shared_ptr<fnd::Formatter> copy() const override;

    // Keyed: the locale (its identifier), the expressions and formats, the margin and the three switches. A format
    // that cannot be filled with its texts (two for the deictic format, one for the approximate one) is refused.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    fnd::Locale m_locale;
    fnd::Calendar m_calendar;
    fnd::String m_past;
    fnd::String m_present;
    fnd::String m_future;
    fnd::String m_deicticFormat;
    fnd::String m_approximateFormat;
    double m_presentMargin { 1.0 };
    bool m_usesIdioms { false };
    bool m_usesApproximateQualifier { false };
    bool m_usesAbbreviatedUnits { false };
    std::uint64_t m_significantUnits { 1 };
    fnd::CalendarUnitFlags m_leastSignificantUnit { fnd::CalendarUnit::Second };
};
