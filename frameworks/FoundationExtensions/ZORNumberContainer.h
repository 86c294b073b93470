#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"

#include <cmath>
#include <compare>
#include <optional>

// A number with a describing text: the entries of the application's preset lists of module widths and bar heights
// (the text names the preset), which are kept in the user defaults. It compares and equals by its number alone, with
// another container or with a plain number, so a preset list can be searched for the current value.
class ZORNumberContainer : public fnd::Object, public fnd::Coding {
    FND_OBJECT(ZORNumberContainer)
    static void describeClass(fnd::ClassBuilder<ZORNumberContainer>& c);

public:
    // The class name the application's stored defaults hold for containers.
    static inline const fnd::String ArchivedClassName = "NumberContainer";

    // Float 0 and no info text.
    ZORNumberContainer() = default;
    static std::shared_ptr<ZORNumberContainer> numberContainerWithNumber(
        fnd::Number number, std::optional<fnd::String> infoString);

    // Archives write containers under ArchivedClassName and read that name back as this class. The application
    // calls it before it reads or writes its defaults.
    static void mapArchivedClassName();

    const fnd::Number& numberObject() const { return m_number; }
    // A number that is NaN or infinite is ignored (decoding reads one as 0): no measurement is one.
    void setNumberObject(fnd::Number number)
    {
        if (!number.isReal() || std::isfinite(number.doubleValue()))
            m_number = number;
    }
    const std::optional<fnd::String>& infoString() const { return m_infoString; }
    void setInfoString(std::optional<fnd::String> infoString) { m_infoString = std::move(infoString); }

    // Against a number or another container's number; unordered for anything else.
    std::partial_ordering compare(const fnd::Value& other) const;
    // The same rule as compare: a container holding 2 equals the plain number 2.
    bool isEqualToValue(const fnd::Value& other) const;
    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override;
    fnd::String description() const override;

    std::shared_ptr<ZORNumberContainer> copy() const;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    fnd::Number m_number { 0.0f };
    std::optional<fnd::String> m_infoString;
};
