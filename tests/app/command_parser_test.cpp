// The command line: what each option sets, every error with its result code, the order of the
// final checks, and the request words.
#include <gtest/gtest.h>

#include "app/parse_helper.h"

namespace {

struct ErrorCase {
  std::vector<std::string> words;
  int result;
  std::string output;
};

const ErrorCase kErrorCases[] = {
    {{}, -1, "ERROR: One of options -w, -r, -l, -L, -p, -G, -k should be declared\n"},
    {{"-w", "-r"}, 3, "ERROR: Only one of options(-w, -r) could be specified \n"},
    {{"-R", "10", "-W", "10"}, 3, "ERROR: Only one of options could be specified \n"},
    {{"-W", "10", "-R", "10"}, 3, "ERROR: Only one of options could be specified\n"},
    {{"-V", "-e", "10"}, 3, "ERROR: Only one of options could be specified\n"},
    {{"-R"}, 3, "ERROR: Register address need to be specified\n"},
    {{"-y", "-v", "1"}, 3, "ERROR: Phy Register index need to be specified\n"},
    {{"-R", "100", "-v", "1"}, 3, "ERROR: Invalid parameters: do not specify -v option\n"},
    {{"-W", "100"}, 3, "ERROR: Invalid parameters: need to specify -v option\n"},
    {{"-v", "1", "-v", "2"}, 3, "ERROR: Value already specified\n"},
    {{"-W", "1", "-v"}, 3, "ERROR: Value missing\n"},
    {{"-R", "xyz"}, 3, "\a\a\a\a\a\a\a\a  ERROR:  HexStrToDword, bad char szBuf[0]=0x78\n"},
    {{"-b"}, 3, "ERROR: No binary file name is specified after -b\n"},
    {{"-i", "a.ini", "-b", "a.bin"},
     3,
     "ERROR: Only one of options(-b, -i, -f) could be specified \n"},
    {{"-i"}, 3, "ERROR: No ini file name is specified after -i\n"},
    {{"-l"}, 3, "ERROR: Link mode should be specified after option -l\n"},
    {{"-l", "100FD"}, 3, "ERROR: Link mode should be 10hd, 10fd, 100hd,100fd or 1000fd\n"},
    {{"-p"}, 3, "ERROR: Dest ip address should be specified after option -p\n"},
    {{"-p", "10.0.0.1", "-L"}, 3, "ERROR: Only one of options(-p, -L) could be specified \n"},
    {{"-L", "-p", "10.0.0.1"}, 3, "ERROR: Only one of options(-p, -L) could be specified \n"},
    {{"-C"}, 3, "ERROR: -C option needs OTP write confirmation \"YES\"\n"},
    {{"-k"}, 3, "ERROR: Set link state parameter needs to be specified\n"},
    {{"-k", "x"}, 3, "ERROR: Invalid Set Link State parameter\n"},
    {{"-G"}, 3, "ERROR: Get parameter needs to be specified\n"},
    {{"-G", "z"}, 3, "ERROR: Invalid Get parameter\n"},
    {{"-q"}, 3, "ERROR: Invalid parameters:q\nERROR: Please use -h to display usage\n"},
    {{"-P", "10.0.0.1"}, 3, "ERROR: Invalid parameters:P\nERROR: Please use -h to display usage\n"},
    {{"-r", "-X", "1"}, 3, "ERROR: Invalid parameters:X\nERROR: Please use -h to display usage\n"},
    {{"-X", "1"}, 3, "ERROR: Invalid parameters:X\nERROR: Please use -h to display usage\n"},
    {{"-X", "-r"}, 3, "ERROR: Invalid parameters:X\nERROR: Please use -h to display usage\n"},
    {{"-O"}, 3, "ERROR: With -O option -w or -r option must be specified\n"},
    {{"-O", "-V"}, 3, "ERROR: With -O option -w or -r option must be specified\n"},
    {{"-w"}, 3, "ERROR: file name must be specified (-b binary file) after option -w\n"},
    {{"-p", "-r"}, 3, "ERROR: Dest ip address should be specified after option -p\n"},
    {{"-o", "x.bin", "-i", "a.ini", "-w"},
     3,
     "ERROR: Option -o cannot be combined with -b, -s, -l, -p, -L or an operation option\n"},
    {{"-o", "x.bin", "-G", "v"},
     3,
     "ERROR: Option -o cannot be combined with -b, -s, -l, -p, -L or an operation option\n"},
    {{"-o", "x.bin", "-l", "10hd", "-i", "a.ini"},
     3,
     "ERROR: Option -o cannot be combined with -b, -s, -l, -p, -L or an operation option\n"},
    {{"-o", "x.bin"}, 3, "ERROR: Option -o needs an ini file (-i)\n"},
    {{"-o"}, 3, "ERROR: No image file name is specified after -o\n"},
    {{"-d"}, 3, "ERROR: Chip model should be specified after option -d\n"},
    {{"-s", "-w", "-b", "a.bin"}, 3, "ERROR: Option -s needs options -w and -i\n"},
    {{"-p", std::string(100, '1')}, 3, "ERROR: Dest ip address is too long\n"},
};

TEST(CommandParser, ReportsEachErrorWithItsCode) {
  for (const ErrorCase& c : kErrorCases) {
    const Parsed parsed = Parse(c.words);
    std::string joined;
    for (const std::string& word : c.words) joined += word + " ";
    EXPECT_EQ(parsed.result, c.result) << joined;
    EXPECT_EQ(parsed.output, c.output) << joined;
  }
}

TEST(CommandParser, AdapterIndexMustPrecedeAnotherOption) {
  const Parsed indexed = Parse({"-X", "1", "-r"});
  EXPECT_EQ(indexed.result, 0);
  EXPECT_EQ(indexed.words.signature, 0x20001u);
  EXPECT_EQ(indexed.words.adapter_index, 1u);
  EXPECT_EQ(indexed.options->Operation, kOpRead);

  const Parsed plain = Parse({"-r"});
  EXPECT_EQ(plain.words.signature, 0x10002u);
  EXPECT_EQ(plain.words.adapter_index, 0u);

  const Parsed zero = Parse({"-X", "0", "-G", "v"});
  EXPECT_EQ(zero.words.signature, 0x20001u);
  EXPECT_EQ(zero.words.adapter_index, 0u);
}

TEST(CommandParser, ValueMayComeBeforeTheWrite) {
  const Parsed parsed = Parse({"-v", "1", "-W", "100"});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.options->Operation, kOpWriteRegister);
  EXPECT_EQ(parsed.options->Address, 0x100u);
  EXPECT_EQ(parsed.options->Value, 1u);
}

TEST(CommandParser, QueriesEndParsingAtOnce) {
  const Parsed get = Parse({"-G", "vx", "-w"});
  EXPECT_EQ(get.result, 0);
  EXPECT_EQ(get.options->Operation, kOpGetInfo);
  EXPECT_EQ(get.options->GetSelector, 'v');

  const Parsed link = Parse({"-k", "down", "-w"});
  EXPECT_EQ(link.result, 0);
  EXPECT_EQ(link.options->Operation, kOpSetLinkState);
  EXPECT_EQ(link.options->LinkStateUp, 0u);

  EXPECT_EQ(Parse({"-k", "Up"}).options->LinkStateUp, 1u);
  EXPECT_EQ(Parse({"-G", "u"}).result, 0);
}

TEST(CommandParser, LinkModeWithEepromRead) {
  const Parsed parsed = Parse({"-l", "1000fd", "-r"});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_TRUE(parsed.options->LinkModeGiven);
  EXPECT_EQ(parsed.options->LinkMode, 5);
  EXPECT_EQ(parsed.options->Operation, kOpRead);
}

TEST(CommandParser, OtpConfirmationNeedsUpperCaseYes) {
  EXPECT_EQ(Parse({"-O", "-w", "-b", "a", "-C", "yes"}).options->OtpWriteConfirmed, 0);
  const Parsed parsed = Parse({"-O", "-w", "-b", "a", "-C", "YESPLEASE"});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.options->OtpWriteConfirmed, 1);
}

TEST(CommandParser, CableDiagnosticsReplacesAnEarlierOperation) {
  const Parsed parsed = Parse({"-R", "10", "-V"});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.options->Operation, kOpCableDiagnostics);
}

TEST(CommandParser, OptionArgumentsAndStrayWords) {
  const Parsed parsed = Parse({"stray", "-rxyz", "ignored", "-b", "a.bin", "-b", "b.bin"});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.options->Operation, kOpRead);
  EXPECT_STREQ(parsed.options->BinaryFileName.get(), "b.bin");
}

TEST(CommandParser, PingTakesItsAddress) {
  const Parsed parsed = Parse({"-p", "192.168.1.1"});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.options->NetworkTest, kNetworkTestPing);
  EXPECT_STREQ(parsed.options->DestinationAddress, "192.168.1.1");
}

TEST(CommandParser, HelpPrintsUsageWhereverItStands) {
  for (const auto& words : {std::vector<std::string>{"-h", "-w"}, {"-w", "-?"}, {"-H"}}) {
    const Parsed parsed = Parse(words);
    EXPECT_EQ(parsed.result, -5);
    EXPECT_EQ(parsed.output.rfind("Usage: 5200WinCmd [-X <AdapterIndex>] (-b <bin_filename>)", 0),
              0u);
  }
}

TEST(CommandParser, BinaryImageWithIniIdentityIsAccepted) {
  // -b first, then -i; the file is loaded by the run, not by the parser.
  const Parsed parsed = Parse({"-b", "image.bin", "-i", "/nonexistent/board.ini", "-w"});
  EXPECT_STREQ(parsed.options->BinaryFileName.get(), "image.bin");
  EXPECT_STREQ(parsed.options->IniFileName.get(), "/nonexistent/board.ini");
  EXPECT_EQ(parsed.result, 0);
}

TEST(CommandParser, OfflineGenerationNeedsNoOperation) {
  const Parsed parsed = Parse({"-o", "image.bin", "-d", "QNT5230", "-i", "/nonexistent.ini"});
  EXPECT_STREQ(parsed.options->ImageFileName.get(), "image.bin");
  EXPECT_STREQ(parsed.options->ChipModelName.get(), "QNT5230");
  EXPECT_EQ(parsed.result, 0);  // the option checks pass; the missing file is the run's to find
}

// Each direct-access letter reports an earlier operation and a missing location in its own words;
// the writes and the PHY read put a blank before the line end, the other reads do not.
struct AccessLetterCase {
  const char* letter;
  const char* already_set;
  const char* missing;
};

constexpr char kOnlyOne[] = "ERROR: Only one of options could be specified\n";
constexpr char kOnlyOneBlank[] = "ERROR: Only one of options could be specified \n";
constexpr char kNoRegister[] = "ERROR: Register address need to be specified\n";
constexpr char kNoPhyIndex[] = "ERROR: Phy Register index need to be specified\n";

const AccessLetterCase kAccessLetters[] = {
    {"-R", kOnlyOne, kNoRegister},      {"-W", kOnlyOneBlank, kNoRegister},
    {"-y", kOnlyOneBlank, kNoPhyIndex}, {"-Y", kOnlyOneBlank, kNoPhyIndex},
    {"-e", kOnlyOne, kNoRegister},      {"-E", kOnlyOneBlank, kNoRegister},
    {"-j", kOnlyOne, kNoRegister},      {"-J", kOnlyOneBlank, kNoRegister},
};

TEST(CommandParser, EachAccessLetterHasItsOwnMessages) {
  for (const AccessLetterCase& c : kAccessLetters) {
    const Parsed after_read = Parse({"-r", c.letter, "10"});
    EXPECT_EQ(after_read.result, 3) << c.letter;
    EXPECT_EQ(after_read.output, c.already_set) << c.letter;

    const Parsed bare = Parse({c.letter});
    EXPECT_EQ(bare.result, 3) << c.letter;
    EXPECT_EQ(bare.output, c.missing) << c.letter;
  }
}

TEST(CommandParser, EveryLinkModeTextHasItsCode) {
  const char* texts[] = {"10hd", "10fd", "100hd", "100fd", "1000fd"};
  for (int code = 1; code <= 5; ++code) {
    const Parsed parsed = Parse({"-l", texts[code - 1]});
    EXPECT_EQ(parsed.result, 0) << texts[code - 1];
    EXPECT_EQ(parsed.options->LinkMode, code) << texts[code - 1];
  }
}

TEST(CommandParser, LoopbackNeedsNoAddress) {
  const Parsed parsed = Parse({"-L"});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.options->NetworkTest, kNetworkTestLoopback);
  EXPECT_TRUE(parsed.options->LoopbackGiven);
}

TEST(CommandParser, LaterOperationAfterCableDiagnosticsIsRefused) {
  const Parsed parsed = Parse({"-V", "-w"});
  EXPECT_EQ(parsed.result, 3);
  EXPECT_EQ(parsed.output, "ERROR: Only one of options(-w, -r) could be specified \n");
}

// A direct access ends the final checks before the OTP check; -G and -k run none of them.
TEST(CommandParser, FinalChecksStopAtADirectAccessAndNeverRunForQueries) {
  for (const auto& words : {std::vector<std::string>{"-O", "-R", "10"},
                            {"-O", "-W", "10", "-v", "1"},
                            {"-O", "-G", "v"},
                            {"-O", "-k", "u"}}) {
    const Parsed parsed = Parse(words);
    EXPECT_EQ(parsed.result, 0) << words[1];
    EXPECT_EQ(parsed.output, "") << words[1];
  }
}

// What follows -G or -k is not read: it is named on standard error, standard output unchanged.
TEST(CommandParser, WordsAfterAQueryAreNamedAsIgnored) {
  const Parsed get = Parse({"-G", "v", "-a", "-X", "1"});
  EXPECT_EQ(get.result, 0);
  EXPECT_FALSE(get.options->JsonResults);
  EXPECT_EQ(get.output, "");
  EXPECT_EQ(get.diagnostics,
            "-G ends the command line; ignored after it: -a -X 1 (put options before -G)\n");
  EXPECT_EQ(Parse({"-k", "u", "-w"}).diagnostics,
            "-k ends the command line; ignored after it: -w (put options before -k)\n");
  EXPECT_EQ(Parse({"-a", "-G", "v"}).diagnostics, "");
}

TEST(CommandParser, FinalChecksRunInTheirOrder) {
  // The OTP check comes before the check for a missing operation and for the link mode.
  EXPECT_EQ(Parse({"-O", "-l", "10hd"}).output,
            "ERROR: With -O option -w or -r option must be specified\n");
  // With -O and -w the missing file is what is reported.
  EXPECT_EQ(Parse({"-O", "-w"}).output,
            "ERROR: file name must be specified (-b binary file) after option -w\n");
}

TEST(CommandParser, AdapterIndexThatIsNoNumberLeavesTheDefaultWords) {
  const Parsed parsed = Parse({"-X", "abc", "-r"});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.words.signature, 0x10002u);
  EXPECT_EQ(parsed.words.adapter_index, 0u);

  // -X and its number followed only by words that are no options: the scanner returns X.
  EXPECT_EQ(Parse({"-X", "1", "stray"}).output,
            "ERROR: Invalid parameters:X\nERROR: Please use -h to display usage\n");
}

}  // namespace
