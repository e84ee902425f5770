// Pin files beside a library: how they are read, the errors they give, and a render
// through the example library's module with the chain read from its pin file.
#include <gtest/gtest.h>

#include <sstream>

#include "library_fixture.h"
#include "pin_file.h"
#include "render_job.h"

namespace {

host::PinFile parse(const std::string& text)
{
    std::istringstream in(text);
    return host::PinFile(in, "test.pins");
}

std::string errorOf(const std::string& text)
{
    try {
        parse(text);
    } catch (const host::PinFileError& error) {
        return error.what();
    }
    return "no error";
}

TEST(PinFile, ReadsModulesWithTheFieldsListShows)
{
    const host::PinFile file = parse("# comment\n\n"
                                     "module MIDI_One | first\n"
                                     "0 | in | MIDI in | | | | notes\n"
                                     "2 | mode | int in | 0 to 3 | fast | slow=0, fast=3 | how\n"
                                     "module Two | second\n"
                                     "0 | hold | bool in | | on | | holds\n");
    ASSERT_EQ(file.modules().size(), 2u);
    const host::ModuleDeclaration& one = file.modules()[0];
    EXPECT_EQ(one.identifier, "MIDI_One");
    EXPECT_EQ(one.purpose, "first");
    const host::PinDeclaration& mode = *one.pin("mode");
    EXPECT_EQ(mode.number, 2);
    EXPECT_EQ(mode.kind, host::PinKind::intIn);
    EXPECT_EQ(host::describeValues(mode), "0 to 3, or slow, fast");
    EXPECT_EQ(mode.defaultValue, 3);
    EXPECT_EQ(host::describeDefault(*file.modules()[1].pin("hold")), "on");
    EXPECT_EQ(host::findModule(file.modules(), "one"), &one);
    EXPECT_EQ(host::findModule(file.modules(), "two"), &file.modules()[1]);
}

TEST(PinFile, MalformedLinesAreErrorsNamingTheLine)
{
    const std::string head = "module M | m\n";
    EXPECT_EQ(errorOf("0 | in | MIDI in | | | | x\n"),
              "test.pins:1: a pin before any \"module IDENTIFIER | what it does\" line");
    EXPECT_EQ(errorOf(head + "0 | in | MIDI in\n"),
              "test.pins:2: a pin has 7 fields separated by '|' (number | name | kind | range | default | words | "
              "purpose), this line 3");
    EXPECT_EQ(errorOf(head + "x | in | MIDI in | | | | x\n"), "test.pins:2: pin number \"x\" is not a whole number");
    EXPECT_EQ(errorOf(head + "0 | in | MIDI sideways | | | | x\n"),
              "test.pins:2: kind \"MIDI sideways\" is none of MIDI in, MIDI out, audio in, int in, int out, bool in");
    EXPECT_EQ(errorOf(head + "0 | a | int in | 5 to 1 | 1 | | x\n"), "test.pins:2: range \"5 to 1\" ends below its start");
    EXPECT_EQ(errorOf(head + "0 | a | int in | 0 to 9 | 10 | | x\n"),
              "test.pins:2: default: 10 is out of range (0 to 9)");
    EXPECT_EQ(errorOf(head + "0 | a | int in | 0 to 9 | 1 | soft | x\n"),
              "test.pins:2: word \"soft\" is not of the form word=value");
    EXPECT_EQ(errorOf(head + "0 | a | MIDI in | 0 to 9 | | | x\n"),
              "test.pins:2: a MIDI in pin has no range, default or words");
    EXPECT_EQ(errorOf(head + "0 | a | MIDI in | | | | x\n0 | b | MIDI out | | | | y\n"),
              "test.pins:3: pin number 0 is negative or taken");
    EXPECT_EQ(errorOf(head + "\n" + head), "test.pins:3: module M is described twice");
    EXPECT_EQ(errorOf("# nothing\n"), "test.pins: describes no module (a line \"module IDENTIFIER | what it does\")");
}

// The chain is read from the example's pin file, as midimod render --library reads it.
TEST(PinFile, RenderThroughTheExampleLibrarysModule)
{
    const std::string path = libraryBesideBuilt(EXAMPLE_LIBRARY_NAME);
    const std::unique_ptr<host::PinFile> pins = host::readPinFileBeside(path);
    ASSERT_NE(pins, nullptr);
    host::ModuleLibrary library(path);
    const smf::File input{0, 480, {{{{0, {0x90, 60, 100}}, {240, {0x90, 64, 40}}, {480, {0x80, 60, 0}},
                                     {480, {0x80, 64, 0}}}, 480}}};
    JobSettings settings;
    settings.tempo = 125;
    const RenderedFile rendered = renderFile(library, input, parseChain("VelocityCurve percent=soft", pins->modules()),
                                             settings);
    std::vector<std::array<uint64_t, 3>> notes;  // start, pitch, velocity
    for (const notes::Note& note : rendered.outputNotes)
        notes.push_back({note.start, note.pitch, note.velocity});
    EXPECT_EQ(notes, (std::vector<std::array<uint64_t, 3>>{{0, 60, 50}, {240, 64, 20}}));
    EXPECT_THROW(parseChain("MIDI_Transposer", pins->modules()), ChainError);
}

}  // namespace
