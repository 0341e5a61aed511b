// Resolves the ids of a movie description into SWF characters and depths, and writes
// the file.
#include "tarnquill/Compiler.h"

#include "CompilerInternal.h"
#include "Pictures.h"
#include "base/files/AtomicFile.h"

#include <libxml/parser.h>
#include <libxml/xmlIO.h>
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

// The schema check needs only the schema and the description: the file, or the text.
void Validate(const std::string& schemaPath, const std::function<int(xmlSchemaValidCtxtPtr, XmlErrors&)>& run) {
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
        result = run(valid, errors);
        xmlSchemaFreeValidCtxt(valid);
    }
    xmlSchemaFree(schema);
    if (result != 0)
        throw CompileError("the description does not match the schema: " +
                               (errors.message.empty() ? std::string("validation failed") : errors.message),
                           "", "", errors.line);
}

// A check over a tree tells an element's error at the line of its start tag; the stream is
// at its text or at its end tag by then. These callbacks ride under the check to know which
// element it is at, so that its errors keep the lines they had.
class StreamPlaces {
public:
    StreamPlaces(xmlSchemaValidCtxtPtr valid, XmlErrors& errors) : valid_(valid), errors_(errors) {
        std::memset(&sax_, 0, sizeof sax_);
        sax_.initialized = XML_SAX2_MAGIC;
        sax_.startElementNs = Start;
        sax_.endElementNs = End;
        sax_.characters = Text;
        sax_.ignorableWhitespace = Text;
        sax_.cdataBlock = Text;
        xmlSchemaSetValidStructuredErrors(valid, Handler, this);
    }

    xmlSAXHandler* Sax() { return &sax_; }

private:
    static StreamPlaces& Of(void* context) { return *static_cast<StreamPlaces*>(context); }

    long Line() const {
        xmlParserCtxtPtr parser = xmlSchemaValidCtxtGetParserCtxt(valid_);
        return parser && parser->input ? parser->input->line : 0;
    }

    static void Start(void* context, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int, int,
                      const xmlChar**) {
        StreamPlaces& self = Of(context);
        self.parent_ = self.open_.empty() ? 0 : self.open_.back();
        self.open_.push_back(self.Line());
        self.place_ = 0;  // the start tag's own: where the stream is
        self.starting_ = true;
    }

    static void End(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
        StreamPlaces& self = Of(context);
        self.place_ = self.open_.empty() ? 0 : self.open_.back();
        if (!self.open_.empty()) self.open_.pop_back();
        self.starting_ = false;
    }

    static void Text(void* context, const xmlChar*, int) {
        StreamPlaces& self = Of(context);
        self.place_ = self.open_.empty() ? 0 : self.open_.back();
        self.starting_ = false;
    }

    // A child refused by its parent's content type is the parent's error.
    static bool Parents(int code) {
        return code == XML_SCHEMAV_CVC_TYPE_3_1_2 || code == XML_SCHEMAV_CVC_COMPLEX_TYPE_2_1 ||
               code == XML_SCHEMAV_CVC_COMPLEX_TYPE_2_2;
    }

    static void Handler(void* context, xmlErrorPtr error) {
        StreamPlaces& self = Of(context);
        const bool first = self.errors_.message.empty();
        XmlErrors::Handler(&self.errors_, error);
        if (!first || self.errors_.message.empty()) return;
        const long place = self.starting_ && Parents(error->code) ? self.parent_ : self.place_;
        if (place > 0) self.errors_.line = place;
    }

    xmlSchemaValidCtxtPtr valid_;
    XmlErrors& errors_;
    xmlSAXHandler sax_;
    std::vector<long> open_;  // start lines of the open elements
    long place_ = 0;          // where an error now goes; 0: where the stream is
    long parent_ = 0;         // the start line of the parent of the element starting
    bool starting_ = false;
};

// Checks the description as the parser streams it, without a tree.
void ValidateStream(const DescriptionSource& source, const std::string& schemaPath) {
    Validate(schemaPath, [&](xmlSchemaValidCtxtPtr valid, XmlErrors& errors) {
        const std::string& text = source.pathOrText;
        // The stream takes the buffer over.
        xmlParserInputBufferPtr input =
            source.isFile
                ? xmlParserInputBufferCreateFilename(text.c_str(), XML_CHAR_ENCODING_NONE)
                : xmlParserInputBufferCreateMem(text.data(), static_cast<int>(text.size()), XML_CHAR_ENCODING_NONE);
        if (!input) return -1;
        StreamPlaces places(valid, errors);
        return xmlSchemaValidateStream(valid, input, XML_CHAR_ENCODING_NONE, places.Sax(), &places);
    });
}

// Checking against the schema reads the description on its own, so it runs beside the reading
// and compiling; its verdict still comes first, whatever they end in. A malformed description
// is told as such before the schema has a say.
CompileResult ParseAndCompile(const DescriptionSource& source, const CompileOptions& options) {
    xmlInitParser();  // before another thread can use libxml2
    std::future<void> validation;
    bool checkAfter = false;
    if (!options.schemaPath.empty()) {
        try {
            validation = std::async(std::launch::async, [&source, &options] {
                xmlSetGenericErrorFunc(nullptr, XmlErrors::Silent);  // per thread, as on the caller's
                ValidateStream(source, options.schemaPath);
            });
        } catch (const std::system_error&) {
            checkAfter = true;  // no thread to spare: one after the other
        }
    }
    // Waits for the check without its verdict: the reading's error goes first.
    auto settle = [&] {
        if (validation.valid()) validation.wait();
    };
    Description description;
    try {
        // A description read through libxml2's tree is checked on that tree, as the stream
        // could not: its entities stay references there.
        description = ParseDescription(source, [&](xmlDocPtr doc) {
            settle();
            validation = std::future<void>();
            checkAfter = false;
            if (!options.schemaPath.empty())
                Validate(options.schemaPath,
                         [doc](xmlSchemaValidCtxtPtr valid, XmlErrors&) { return xmlSchemaValidateDoc(valid, doc); });
        });
    } catch (...) {
        settle();
        throw;
    }
    if (checkAfter) ValidateStream(source, options.schemaPath);
    CompileResult result;
    try {
        Movie movie;
        // Pictures are read and compressed on workers from the moment the reader meets them.
        ImageBitmaps bitmaps(ImageBitmapThreads());
        movie = ReadMovie(description, [&](const Definition& image) {
            bitmaps.Add({&image, ResolvePath(options.baseFolder, image.src), image.jpegQuality});
        });
        bitmaps.Close();
        description = Description();
        result.swf = Compiler(movie, options, result.warnings, bitmaps).Run();
    } catch (...) {
        if (validation.valid()) validation.get();
        throw;
    }
    if (validation.valid()) validation.get();
    return result;
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
    return ParseAndCompile(DescriptionSource{true, xmlPath}, effective);
}

CompileResult CompileText(const std::string& xmlText, const CompileOptions& options) {
    if (xmlText.size() > 0x7fffffff) throw CompileError("description too large");
    return ParseAndCompile(DescriptionSource{false, xmlText}, options);
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (int err = base::files::WriteFileAtomically(path, bytes))
        throw CompileError("cannot write " + path + ": " + std::strerror(err));
}

}  // namespace tarnquill
