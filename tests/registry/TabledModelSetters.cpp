#include "registry/TabledSetterHelpers.h"

#include "frameworks/FoundationExtensions/ZFMArrayFormatter.h"
#include "frameworks/FoundationExtensions/ZFMLocationFormatter.h"
#include "frameworks/FoundationExtensions/ZFMOrdinalNumberFormatter.h"
#include "frameworks/FoundationExtensions/ZFMTimeIntervalFormatter.h"
#include "frameworks/FoundationExtensions/ZFMUnitOfInformationFormatter.h"
#include "frameworks/FoundationExtensions/ZORAppMeasurementNumberFormatter.h"
#include "frameworks/FoundationExtensions/ZORMeasurementNumberFormatter.h"
#include "frameworks/FoundationExtensions/ZORNumberValueFormatter.h"
#include "frameworks/QFTabBarView/styles/QFCapsuleTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFCardTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFLivelyTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFUnifiedTabStyle.h"
#include "frameworks/ZORAppKit/text-views/ZORLineNumberRuler.h"
#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBCapsuleTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBUnifiedTabStyle.h"
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/containers/RulerView.h"

namespace registrytest {

namespace {

using K = SetterKind;

TabledSetterList tabledNumberFormatterSetters()
{
    using F = fnd::NumberFormatter;
    return {
        member<F>("setNumberStyle", K::Integer, &F::setNumberStyle),
        member<F>("setFormat", K::String, &F::setFormat),
        member<F>("setPositiveFormat", K::String, &F::setPositiveFormat),
        member<F>("setNegativeFormat", K::String, &F::setNegativeFormat),
        member<F>("setUsesGroupingSeparator", K::Bool, &F::setUsesGroupingSeparator),
        member<F>("setMinimumIntegerDigits", K::Integer, &F::setMinimumIntegerDigits),
        member<F>("setMaximumIntegerDigits", K::Integer, &F::setMaximumIntegerDigits),
        member<F>("setMinimumFractionDigits", K::Integer, &F::setMinimumFractionDigits),
        member<F>("setMaximumFractionDigits", K::Integer, &F::setMaximumFractionDigits),
        member<F>("setUsesSignificantDigits", K::Bool, &F::setUsesSignificantDigits),
        member<F>("setMinimumSignificantDigits", K::Integer, &F::setMinimumSignificantDigits),
        member<F>("setMaximumSignificantDigits", K::Integer, &F::setMaximumSignificantDigits),
        member<F>("setRoundingIncrement", K::Real, &F::setRoundingIncrement),
        member<F>("setRoundingMode", K::Integer, &F::setRoundingMode),
        member<F>("setPositivePrefix", K::String, &F::setPositivePrefix),
        member<F>("setNegativeSuffix", K::String, &F::setNegativeSuffix),
        member<F>("setAllowsFloats", K::Bool, &F::setAllowsFloats),
        member<F>("setMinimum", K::Real, &F::setMinimum),
        member<F>("setMaximum", K::Real, &F::setMaximum),
        member<F>("setLenient", K::Bool, &F::setLenient),
    };
}

TabledSetterList tabledMeasurementFormatterSetters()
{
    using F = ZORMeasurementNumberFormatter;
    return {
        member<F>("setShowType", K::Integer, &F::setShowType),
        member<F>("setNumberOfDigitsAfterPoint", K::Integer, &F::setNumberOfDigitsAfterPoint),
    };
}

TabledSetterList tabledAppMeasurementFormatterSetters()
{
    using F = ZORAppMeasurementNumberFormatter;
    return { member<F>("setAppUnitType", K::Integer, &F::setAppUnitType) };
}

TabledSetterList tabledNumberValueFormatterSetters()
{
    using F = ZORNumberValueFormatter;
    return {
        member<F>("setShowNumberType", K::Integer, &F::setShowNumberType),
        member<F>("setNumberOfDigitsAfterPoint", K::Integer, &F::setNumberOfDigitsAfterPoint),
    };
}

TabledSetterList tabledArrayFormatterSetters()
{
    using F = ZFMArrayFormatter;
    return {
        member<F>("setArrayStyle", K::Integer, &F::setArrayStyle),
        member<F>("setDelimiter", K::String, &F::setDelimiter),
        member<F>("setSeparator", K::String, &F::setSeparator),
        member<F>("setConjunction", K::String, &F::setConjunction),
        member<F>("setAbbreviatedConjunction", K::String, &F::setAbbreviatedConjunction),
        member<F>("setUsesAbbreviatedConjunction", K::Bool, &F::setUsesAbbreviatedConjunction),
        member<F>("setUsesSerialDelimiter", K::Bool, &F::setUsesSerialDelimiter),
    };
}

TabledSetterList tabledLocationFormatterSetters()
{
    using F = ZFMLocationFormatter;
    return {
        member<F>("setCoordinateOrder", K::Integer, &F::setCoordinateOrder),
        member<F>("setBearingStyle", K::Integer, &F::setBearingStyle),
        member<F>("setUnitSystem", K::Integer, &F::setUnitSystem),
    };
}

TabledSetterList tabledOrdinalFormatterSetters()
{
    using F = ZFMOrdinalNumberFormatter;
    return {
        member<F>("setOrdinalIndicator", K::String, &F::setOrdinalIndicator),
        member<F>("setGrammaticalGender", K::Integer, &F::setGrammaticalGender),
        member<F>("setGrammaticalNumber", K::Integer, &F::setGrammaticalNumber),
    };
}

TabledSetterList tabledTimeIntervalFormatterSetters()
{
    using F = ZFMTimeIntervalFormatter;
    return {
        member<F>("setPastDeicticExpression", K::String, &F::setPastDeicticExpression),
        member<F>("setPresentDeicticExpression", K::String, &F::setPresentDeicticExpression),
        member<F>("setFutureDeicticExpression", K::String, &F::setFutureDeicticExpression),
        member<F>("setDeicticExpressionFormat", K::String, &F::setDeicticExpressionFormat),
        member<F>("setApproximateQualifierFormat", K::String, &F::setApproximateQualifierFormat),
        member<F>("setPresentTimeIntervalMargin", K::Real, &F::setPresentTimeIntervalMargin),
        member<F>("setUsesIdiomaticDeicticExpressions", K::Bool, &F::setUsesIdiomaticDeicticExpressions),
        member<F>("setUsesApproximateQualifier", K::Bool, &F::setUsesApproximateQualifier),
        member<F>("setUsesAbbreviatedCalendarUnits", K::Bool, &F::setUsesAbbreviatedCalendarUnits),
        member<F>("setNumberOfSignificantUnits", K::Integer, &F::setNumberOfSignificantUnits),
        member<F>("setLeastSignificantUnit", K::Integer, &F::setLeastSignificantUnit),
    };
}

TabledSetterList tabledUnitOfInformationFormatterSetters()
{
    using F = ZFMUnitOfInformationFormatter;
    return {
        member<F>("setDisplaysInTermsOfBytes", K::Bool, &F::setDisplaysInTermsOfBytes),
        member<F>("setUsesIECBinaryPrefixesForCalculation", K::Bool, &F::setUsesIECBinaryPrefixesForCalculation),
        member<F>("setUsesIECBinaryPrefixesForDisplay", K::Bool, &F::setUsesIECBinaryPrefixesForDisplay),
    };
}

TabledSetterList tabledRulerMarkerSetters()
{
    using M = ui::RulerMarker;
    return {
        tabled<M>(
            "setRuler", K::Object, [](const M& m) { return m.ruler(); },
            [](M& m, const fnd::Value& v) { m.setRuler(v.objectAs<ui::RulerView>()); }),
        member<M>("setMarkerLocation", K::Real, &M::setMarkerLocation),
        tabled<M>(
            "setImage", K::Object, [](const M& m) { return m.image(); },
            [](M& m, const fnd::Value& v) { m.setImage(v.objectAs<gfx::Image>()); }),
        member<M>("setImageOrigin", K::Point, &M::setImageOrigin),
        member<M>("setMovable", K::Bool, &M::setMovable),
        member<M>("setRemovable", K::Bool, &M::setRemovable),
        member<M>("setRepresentedObject", K::Any, &M::setRepresentedObject),
    };
}

TabledSetterList tabledLineNumberMarkerSetters()
{
    using M = ZORLineNumberRulerMarker;
    return { member<M>("setLineNumber", K::Integer, &M::setLineNumber) };
}

TabledSetterList tabledQFCapsuleStyleSetters()
{
    using S = QFCapsuleTabStyle;
    return { member<S>("setDrawsUnified", K::Bool, &S::setDrawsUnified),
        member<S>("setDrawsRight", K::Bool, &S::setDrawsRight) };
}

TabledSetterList tabledQFCardStyleSetters()
{
    using S = QFCardTabStyle;
    return { member<S>("setHorizontalInset", K::Real, &S::setHorizontalInset),
        member<S>("setTopMargin", K::Real, &S::setTopMargin) };
}

TabledSetterList tabledQFLivelyStyleSetters()
{
    using S = QFLivelyTabStyle;
    return { member<S>("setLeftMarginForTabBarView", K::Real, &S::setLeftMarginForTabBarView) };
}

TabledSetterList tabledQFUnifiedStyleSetters()
{
    using S = QFUnifiedTabStyle;
    return { member<S>("setLeftMarginForTabBarView", K::Real, &S::setLeftMarginForTabBarView) };
}

TabledSetterList tabledZTBStyleSetters()
{
    using S = ZTBTabStyle;
    return { member<S>("setOrientation", K::Integer, &S::setOrientation) };
}

TabledSetterList tabledZTBCapsuleStyleSetters()
{
    using S = ZTBCapsuleTabStyle;
    return { member<S>("setDrawsUnified", K::Bool, &S::setDrawsUnified),
        member<S>("setDrawsRight", K::Bool, &S::setDrawsRight) };
}

TabledSetterList tabledZTBUnifiedStyleSetters()
{
    using S = ZTBUnifiedTabStyle;
    return { member<S>("setLeftMarginForTabBarControl", K::Real, &S::setLeftMarginForTabBarControl) };
}

TabledSetterList tabledImageSetters()
{
    using I = gfx::Image;
    return { member<I>("setSize", K::Size, &I::setSize), member<I>("setFlipped", K::Bool, &I::setFlipped) };
}

TabledSetterList tabledShadowSetters()
{
    using S = gfx::Shadow;
    return {
        member<S>("setShadowOffset", K::Size, &S::setShadowOffset),
        member<S>("setShadowBlurRadius", K::Real, &S::setShadowBlurRadius),
        tabled<S>(
            "setShadowColor", K::Object, [](const S& s) { return s.shadowColor(); },
            [](S& s, const fnd::Value& v) { s.setShadowColor(v.objectAs<gfx::Color>()); }),
    };
}

TabledSetterList tabledParagraphStyleSetters()
{
    using P = txt::ParagraphStyle;
    return {
        member<P>("setAlignment", K::Integer, &P::setAlignment),
        member<P>("setLineBreakMode", K::Integer, &P::setLineBreakMode),
        tabled<P>("addTabStop", K::Real,
            [](P& p, const fnd::Value& v) {
                p.addTabStop({ txt::TextTabType::Left, v.doubleValue() });
            }),
        member<P>("setDefaultTabInterval", K::Real, &P::setDefaultTabInterval),
        member<P>("setFirstLineHeadIndent", K::Real, &P::setFirstLineHeadIndent),
        member<P>("setHeadIndent", K::Real, &P::setHeadIndent),
        member<P>("setTailIndent", K::Real, &P::setTailIndent),
        member<P>("setParagraphSpacingBefore", K::Real, &P::setParagraphSpacingBefore),
        member<P>("setParagraphSpacing", K::Real, &P::setParagraphSpacing),
        member<P>("setLineSpacing", K::Real, &P::setLineSpacing),
        member<P>("setMinimumLineHeight", K::Real, &P::setMinimumLineHeight),
        member<P>("setMaximumLineHeight", K::Real, &P::setMaximumLineHeight),
    };
}

TabledSetterList tabledAttributedStringSetters()
{
    using A = txt::AttributedString;
    return {
        tabled<A>("setAttributedString", K::String,
            [](A& a, const fnd::Value& v) { a.setAttributedString(A(v.stringValue())); }),
        tabled<A>("replaceCharactersInRange", K::Range,
            [](A& a, const fnd::Value& v) { a.replaceCharactersInRange(v.range().value_or(fnd::Range {}), "ab"); }),
        tabled<A>("addAttribute", K::Range,
            [](A& a, const fnd::Value& v) {
                a.addAttribute("NSUnderline", fnd::Value(1), v.range().value_or(fnd::Range {}));
            }),
    };
}

TabledSetterList tabledIndexSetSetters()
{
    using S = fnd::IndexSet;
    return {
        tabled<S>("add", K::Range, [](S& s, const fnd::Value& v) { s.add(v.range().value_or(fnd::Range {})); }),
        tabled<S>("remove", K::Range, [](S& s, const fnd::Value& v) { s.remove(v.range().value_or(fnd::Range {})); }),
    };
}

}

std::vector<std::pair<std::string, TabledSetterList (*)()>> tabledModelSetterLists()
{
    return {
        { "NumberFormatter", tabledNumberFormatterSetters },
        { "ZORMeasurementNumberFormatter", tabledMeasurementFormatterSetters },
        { "ZORAppMeasurementNumberFormatter", tabledAppMeasurementFormatterSetters },
        { "ZORNumberValueFormatter", tabledNumberValueFormatterSetters },
        { "ZFMArrayFormatter", tabledArrayFormatterSetters },
        { "ZFMLocationFormatter", tabledLocationFormatterSetters },
        { "ZFMOrdinalNumberFormatter", tabledOrdinalFormatterSetters },
        { "ZFMTimeIntervalFormatter", tabledTimeIntervalFormatterSetters },
        { "ZFMUnitOfInformationFormatter", tabledUnitOfInformationFormatterSetters },
        { "RulerMarker", tabledRulerMarkerSetters },
        { "ZORLineNumberRulerMarker", tabledLineNumberMarkerSetters },
        { "QFCapsuleTabStyle", tabledQFCapsuleStyleSetters },
        { "QFCardTabStyle", tabledQFCardStyleSetters },
        { "QFLivelyTabStyle", tabledQFLivelyStyleSetters },
        { "QFUnifiedTabStyle", tabledQFUnifiedStyleSetters },
        { "ZTBTabStyle", tabledZTBStyleSetters },
        { "ZTBCapsuleTabStyle", tabledZTBCapsuleStyleSetters },
        { "ZTBUnifiedTabStyle", tabledZTBUnifiedStyleSetters },
        { "Image", tabledImageSetters },
        { "Shadow", tabledShadowSetters },
        { "ParagraphStyle", tabledParagraphStyleSetters },
        { "AttributedString", tabledAttributedStringSetters },
        { "IndexSet", tabledIndexSetSetters },
    };
}

}
