// Resolves the ids of a movie description into SWF characters and depths, and writes
// the file.
#include "tarnquill/Compiler.h"

#include "CompilerInternal.h"
#include "Pictures.h"
#include "base/files/AtomicFile.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <system_error>

namespace tarnquill {

std::string FormatError(const std::string& message, const std::string& element, const std::string& attribute,
                        long line) {
    std::string where;
    if (line > 0) where += "line " + std::to_string(line);
    if (!element.empty()) where += (where.empty() ? "" : ", ") + std::string("element \"") + element + "\"";
    if (!attribute.empty()) where += (where.empty() ? "" : ", ") + std::string("attribute \"") + attribute + "\"";
    return where.empty() ? message : where + ": " + message;
}

CompileError::CompileError(const std::string& message, const std::string& element, const std::string& attribute,
                           long line)
    : std::runtime_error(FormatError(message, element, attribute, line)),
      message_(message),
      element_(element),
      attribute_(attribute),
      line_(line) {}

std::vector<std::uint8_t> Compiler::Run() {
    BitWriter attributes;
    attributes.U32(0);
    WriteTag(out_, kFileAttributes, attributes.Data());
    BitWriter background;
    background.U8(static_cast<std::uint8_t>(movie_.bgColor >> 16));
    background.U8(static_cast<std::uint8_t>(movie_.bgColor >> 8));
    background.U8(static_cast<std::uint8_t>(movie_.bgColor));
    WriteTag(out_, kSetBackgroundColor, background.Data());

    Plan plan = MakePlan(movie_.root, Where{"movie", 0});
    if (movie_.compressed) {
        packer_ = std::make_unique<DeflateThread>(1);
        packer_->Give(Header(plan.frameCount));
    }
    // Writing the definitions is the work: the progress is how many are written, and the
    // file's last pass one step more.
    const std::uint64_t total = movie_.definitions.size() + 1;
    auto step = [&] {
        if (options_.progress) options_.progress(std::min<std::uint64_t>(ids_.size(), total - 1), total);
    };
    step();
    StartImageBitmaps();
    if (movie_.objectsFirst)
        for (const auto& def : movie_.definitions) {
            Emit(*def);
            Pack();
            step();
        }
    FrameState state;
    for (std::uint32_t f = 0; f < plan.frameCount; ++f) {
        // Also with the objects first: a shape's part is no definition of its own and is
        // written only once a frame shows it.
        for (const Command* cmd : plan.frames[f])
            if (cmd->kind == CommandKind::Show || cmd->kind == CommandKind::Replace ||
                cmd->kind == CommandKind::StartSound)
                Emit(*movie_.byId.at(cmd->objectId));
        EmitFrame(plan, f, state, out_);
        Pack();
        step();
    }
    // Definitions no frame uses still go in, so that every file named is checked.
    for (const auto& def : movie_.definitions) {
        Emit(*def);
        Pack();
        step();
    }
    WriteTag(out_, kEnd, {});
    std::vector<std::uint8_t> file = Finish(plan.frameCount);
    if (options_.progress) options_.progress(total, total);
    return file;
}

std::vector<std::uint8_t> Compiler::Header(std::uint32_t frameCount) const {
    BitWriter header;
    WriteRect(header, Rect{0, static_cast<std::int32_t>(movie_.widthPx * 20), 0,
                           static_cast<std::int32_t>(movie_.heightPx * 20)});
    header.U16(static_cast<std::uint16_t>(std::lround(movie_.frameRate * 256.0)));
    header.U16(static_cast<std::uint16_t>(frameCount));
    return std::move(header.Data());
}

void Compiler::Pack() {
    if (!packer_ || out_.size() < kPackedPiece) return;
    packed_ += out_.size();
    packer_->Give(std::move(out_));
    out_ = std::vector<std::uint8_t>();
}

std::vector<std::uint8_t> Compiler::Finish(std::uint32_t frameCount) {
    const std::vector<std::uint8_t> head = Header(frameCount);
    std::uint64_t total = 8 + head.size() + packed_ + out_.size();
    if (total > 0xffffffffu) throw CompileError("the movie is too large for the SWF format");
    std::vector<std::uint8_t> file = {static_cast<std::uint8_t>(movie_.compressed ? 'C' : 'F'), 'W', 'S', 8};
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(total >> (8 * i)));
    if (packer_) {
        // Bitmaps inside are deflated already; a fast level keeps the second pass cheap.
        const std::vector<std::uint8_t> packed = packer_->Finish(std::move(out_));
        packer_.reset();
        file.reserve(file.size() + packed.size());
        file.insert(file.end(), packed.begin(), packed.end());
    } else {
        file.reserve(file.size() + head.size() + out_.size());
        file.insert(file.end(), head.begin(), head.end());
        file.insert(file.end(), out_.begin(), out_.end());
    }
    return file;
}

namespace {

// libxml2 reports through a global hook; keep the first message with its line.
struct XmlErrors {
    std::string message;
    long line = 0;
    static void Handler(void* context, xmlErrorPtr error) {
        auto* self = static_cast<XmlErrors*>(context);
        if (!error || error->level < XML_ERR_ERROR || !self->message.empty()) return;
        self->message = error->message ? error->message : "malformed XML";
        while (!self->message.empty() && (self->message.back() == '\n' || self->message.back() == ' '))
            self->message.pop_back();
        self->line = error->line;
    }
    static void Silent(void*, const char*, ...) {}
};

struct DocumentOwner {
    xmlDocPtr doc = nullptr;
    ~DocumentOwner() {
        if (doc) xmlFreeDoc(doc);
    }
};

void Validate(xmlDocPtr doc, const std::string& schemaPath) {
    XmlErrors errors;
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(schemaPath.c_str());
    if (!parser) throw CompileError("cannot read the schema " + schemaPath);
    xmlSchemaSetParserStructuredErrors(parser, XmlErrors::Handler, &errors);
    xmlSchemaPtr schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) throw CompileError("cannot read the schema " + schemaPath + ": " + errors.message);
    xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(schema);
    int result = -1;
    if (valid) {
        xmlSchemaSetValidStructuredErrors(valid, XmlErrors::Handler, &errors);
        result = xmlSchemaValidateDoc(valid, doc);
        xmlSchemaFreeValidCtxt(valid);
    }
    xmlSchemaFree(schema);
    if (result != 0)
        throw CompileError("the description does not match the schema: " +
                               (errors.message.empty() ? std::string("validation failed") : errors.message),
                           "", "", errors.line);
}

// Reads the movie out of the tree, then lets the tree go beside the compiling: `release` frees it
// once `before` (the schema check, when one reads the tree too) is done with it.
CompileResult Compile(DocumentOwner& owner, const CompileOptions& options, std::future<void>* before) {
    Movie movie = ReadMovie(owner.doc);
    std::future<void> release;
    try {
        release = std::async(std::launch::async, [doc = owner.doc, before] {
            if (before && before->valid()) before->wait();
            xmlFreeDoc(doc);
        });
        owner.doc = nullptr;
    } catch (const std::system_error&) {
        // no thread to spare: the tree goes with its owner
    }
    CompileResult result;
    result.swf = Compiler(movie, options, result.warnings).Run();
    return result;
}

// Checking against the schema only reads the document, so it runs beside the reading and
// compiling; its verdict still comes first, whatever they end in.
CompileResult CompileDocument(DocumentOwner& owner, const CompileOptions& options) {
    if (options.schemaPath.empty()) return Compile(owner, options, nullptr);
    std::future<void> validation;
    try {
        validation = std::async(std::launch::async, [doc = owner.doc, &options] {
            xmlSetGenericErrorFunc(nullptr, XmlErrors::Silent);  // per thread, as on the caller's
            Validate(doc, options.schemaPath);
        });
    } catch (const std::system_error&) {
        Validate(owner.doc, options.schemaPath);  // no thread to spare: one after the other
        return Compile(owner, options, nullptr);
    }
    CompileResult result;
    try {
        result = Compile(owner, options, &validation);
    } catch (...) {
        validation.get();
        throw;
    }
    validation.get();
    return result;
}

// The tree is only read once built, so small texts may live inside their nodes.
const int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR | XML_PARSE_COMPACT;

CompileResult ParseAndCompile(const std::function<xmlDocPtr()>& parse, const CompileOptions& options) {
    XmlErrors errors;
    xmlSetStructuredErrorFunc(&errors, XmlErrors::Handler);
    xmlSetGenericErrorFunc(nullptr, XmlErrors::Silent);
    DocumentOwner owner;
    owner.doc = parse();
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (!owner.doc || !errors.message.empty())
        throw CompileError("malformed description: " + (errors.message.empty() ? "cannot parse" : errors.message), "",
                           "", errors.line);
    return CompileDocument(owner, options);
}

}  // namespace

CompileResult CompileFile(const std::string& xmlPath, const CompileOptions& options) {
    std::ifstream probe(xmlPath, std::ios::binary);
    if (!probe) throw CompileError("cannot open the description " + xmlPath + ": " + std::strerror(errno));
    probe.close();
    CompileOptions effective = options;
    if (effective.baseFolder.empty()) {
        auto slash = xmlPath.find_last_of("/\\");
        effective.baseFolder = slash == std::string::npos ? "." : xmlPath.substr(0, slash);
    }
    return ParseAndCompile([&] { return xmlReadFile(xmlPath.c_str(), nullptr, kParseOptions); }, effective);
}

CompileResult CompileText(const std::string& xmlText, const CompileOptions& options) {
    if (xmlText.size() > 0x7fffffff) throw CompileError("description too large");
    return ParseAndCompile(
        [&] {
            return xmlReadMemory(xmlText.data(), static_cast<int>(xmlText.size()), "movie.xml", nullptr, kParseOptions);
        },
        options);
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (int err = base::files::WriteFileAtomically(path, bytes))
        throw CompileError("cannot write " + path + ": " + std::strerror(err));
}

}  // namespace tarnquill
