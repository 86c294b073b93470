// Set up around each parse of an outside XML document with libxml2, by every reader of XML.
#pragma once

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <mutex>

namespace fnd::detail {

// For its lifetime, this thread's libxml2 error handlers print nothing (readers take errors from their parser
// context, and damaged documents are normal input); at its end the handlers are restored and the thread's copy of
// the last error is let go, so no document's error text outlives its parse.
class XmlParsingScope {
public:
    XmlParsingScope()
        : m_generic(xmlGenericError)
        , m_genericContext(xmlGenericErrorContext)
        , m_structured(xmlStructuredError)
        , m_structuredContext(xmlStructuredErrorContext)
    {
        static std::once_flag once;
        std::call_once(once, [] { xmlInitParser(); });
        xmlSetGenericErrorFunc(nullptr, ignoreGeneric);
        xmlSetStructuredErrorFunc(nullptr, ignoreStructured);
    }
    ~XmlParsingScope()
    {
        xmlResetLastError();
        xmlSetGenericErrorFunc(m_genericContext, m_generic);
        xmlSetStructuredErrorFunc(m_structuredContext, m_structured);
    }
    XmlParsingScope(const XmlParsingScope&) = delete;
    XmlParsingScope& operator=(const XmlParsingScope&) = delete;

    // A document that declares an entity stops the parse (entity expansion is the classic way to make a small file
    // take all memory); entityDeclared() then answers true. A reader that builds its result from the parser's
    // events passes its own state, which its handlers find again with readerOf().
    void refuseEntities(xmlParserCtxt& context, void* reader = nullptr)
    {
        m_reader = reader;
        context._private = this;
        context.sax->entityDecl = refuseEntityDeclaration;
        context.sax->unparsedEntityDecl = refuseUnparsedEntityDeclaration;
    }
    bool entityDeclared() const { return m_entityDeclared; }

    // The reader given to refuseEntities(), from the context a handler is called with.
    static void* readerOf(void* context)
    {
        return static_cast<XmlParsingScope*>(static_cast<xmlParserCtxt*>(context)->_private)->m_reader;
    }

private:
    static void ignoreGeneric(void*, const char*, ...) { }
    static void ignoreStructured(void*, xmlErrorPtr) { }
    static void refuseEntityDeclaration(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*)
    {
        auto* parser = static_cast<xmlParserCtxt*>(context);
        static_cast<XmlParsingScope*>(parser->_private)->m_entityDeclared = true;
        xmlStopParser(parser);
    }
    static void refuseUnparsedEntityDeclaration(
        void* context, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*)
    {
        refuseEntityDeclaration(context, nullptr, 0, nullptr, nullptr, nullptr);
    }

    xmlGenericErrorFunc m_generic;
    void* m_genericContext;
    xmlStructuredErrorFunc m_structured;
    void* m_structuredContext;
    bool m_entityDeclared { false };
    void* m_reader { nullptr };
};

}
