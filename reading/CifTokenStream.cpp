#include "cif/CifTokenStream.h"

#include "model/ReaderAccess.h"
#include "reading/Tokenizer.h"

using cif::detail::Tokenizer;

CifTokenStream::CifTokenStream(std::istream* input, THandle<CifErrorContainer> errors,
                               const CifParserSettings& settings)
    : tokenizer_(std::make_unique<Tokenizer>(input, std::move(errors), settings)) {}

CifTokenStream::CifTokenStream(CifTokenStream&&) noexcept = default;
CifTokenStream& CifTokenStream::operator=(CifTokenStream&&) noexcept = default;
CifTokenStream::~CifTokenStream() = default;

CifToken CifTokenStream::get_token() {
    return tokenizer_->get_token();
}

void CifTokenStream::get_token(CifToken& token) {
    tokenizer_->get_token(token);
}

void CifTokenStream::unget_token(const CifToken& token) {
    tokenizer_->unget_token(token);
}

void CifTokenStream::unget_token(CifToken&& token) {
    tokenizer_->unget_token(std::move(token));
}

void CifTokenStream::put_token(const CifToken& token) {
    tokenizer_->put_token(token);
}

bool CifTokenStream::newline() {
    return tokenizer_->newline();
}

void CifTokenStream::read_past_eol() {
    tokenizer_->read_past_eol();
}

int CifTokenStream::line_count() const {
    return tokenizer_->line_count();
}

Tokenizer& cif::detail::ReaderAccess::tokenizer(CifTokenStream& stream) {
    return *stream.tokenizer_;
}
