<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Cli</name>
    <message>
        <location filename="../src/cli/ConvertCommand.cpp" line="+40"/>
        <source>Settings: decoder options &apos;%s&apos;, encoder options &apos;%s&apos;
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>, folder structure kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, names from the tags: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, flat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>beside each source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the working folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>  output: %s%s
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+4"/>
        <source>copied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-3"/>
        <source>embedded where a file has none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>copied, and embedded where a file has none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>  library folder: %s; folder art: %s
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not copied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not converted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>to ID3v1.1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>to ID3v2.3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>  existing files: %s; %d at once; tags: ID3v1 %s, ID3v2 %s, APE %s
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+35"/>
        <source>  folder image %s -&gt; %s (overwrite)
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>  folder image %s -&gt; %s
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Plan for %d file (nothing is converted):
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plan for %d files (nothing is converted):
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>  %s: skipped (%s)
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>  %s: refused (%s)
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>
Converted %d of %d file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>
Converted %d of %d files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %d skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/cli/ConvertHost.cpp" line="+111"/>
        <source>, %d failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %d not converted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %d refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %d ignored (not Musepack)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Converted:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Skipped:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Failed:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not converted (cancelled):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Not converted:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <source>trackmill-cli: refused %s: %s
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>trackmill-cli: ignored %s: %s
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>trackmill-cli: no Musepack files to convert
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>cancel requested: the files in progress finish, no new file starts (Ctrl-C again stops them too)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>stopping the files in progress; their MP3s are removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/cli/ConvertHost.cpp" line="-1"/>
        <source>Done %d of %d</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>under a minute left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>about %1 min left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>about %1 h %2 min left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+96"/>
        <source>done: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>skipped: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>FAILED: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/cli/ConvertSettings.cpp" line="+35"/>
        <source>Usage: trackmill-cli convert [options] PATH...

Converts the Musepack files among PATH (folders are searched) to MP3 with mpcdec and
lame, several at once, and carries their tags over. A file counts as converted only
when its MP3 is whole, tagged and in place; nothing already there is replaced unless
--existing overwrite says so. A line is printed as each file ends (a failed one with
the last lines its programs printed), then the counts and each failure with its reason.

Options (default: the window&apos;s stored settings, else the values named below):
  --decoder-options TEXT   options for mpcdec, shell words as typed in a terminal
  --encoder-options TEXT   options for lame, the same way (default: --alt-preset
                           cbr 128); a line that would run or redirect commands
                           (; | &amp; &lt; &gt; # $( or a back quote outside quotes) is refused
  --output-dir DIR         write the MP3 files into DIR (else beside the sources)
  --library-folder DIR     a source below DIR keeps its path below it in the output
                           folder, however it was named (default: the music folder)
  --layout source|tags|flat  with --output-dir: the sources&apos; folders (default), names
                           from the tags by --pattern, or all straight into DIR
  --flat                   the same as --layout flat
  --pattern TEXT           the names of --layout tags (default:
                           %albumartist%/%album%/%track% %title%; also %artist%,
                           %year%, %disc%, %genre%, %filename%)
  --no-folder-art          do not copy a folder&apos;s cover image beside its MP3s
  --no-embed-folder-art    do not embed it into MP3s whose source has no picture
  --existing POLICY        an MP3 already at an output path: skip (default),
                           overwrite, or keep-both (the new one gets a number)
  -j, --jobs N             files converted at once (default: the processor cores)
  --no-id3v1               do not copy ID3v1 tags
  --no-id3v2               do not copy ID3v2 tags
  --no-ape                 do not convert APE tags
  --ape-to id3v1|id3v2     the tag an APE tag becomes (default: id3v2)
  --dry-run                print where each file would go, convert nothing
  --json                   the job&apos;s events as JSON Lines on standard output
  -v, --verbose            also print each file&apos;s start and its programs&apos; output,
                           and every file in the summary
  --help                   show this help

Ctrl-C stops after the files in progress; a second Ctrl-C stops them too.
Exit status: 0 every file converted or skipped, 1 a file failed or the job was
cancelled, 2 usage error.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+150"/>
        <source>--decoder-options needs a value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--encoder-options needs a value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--output-dir needs a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--layout needs source, tags or flat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>--layout takes source, tags or flat, not &apos;%s&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--pattern needs a pattern</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--library-folder needs a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--existing needs skip, overwrite or keep-both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>--existing takes skip, overwrite or keep-both, not &apos;%s&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%s needs a number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%s takes a whole number from 1 on, not &apos;%s&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%s %s is more than %d; converting %d files at once</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>--ape-to needs id3v1 or id3v2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--ape-to takes id3v1 or id3v2, not &apos;%s&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <location filename="../src/cli/InfoCommand.cpp" line="+214"/>
        <location filename="../src/cli/main.cpp" line="+66"/>
        <source>unknown option &apos;%s&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>no PATH given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/cli/InfoCommand.cpp" line="-182"/>
        <source>Usage: trackmill-cli info [--json] FILE...

Shows, for each file, the lines of the information panel (stream version, profile,
channel mode, bit rate, frames, duration, size, tags contained), then the fields of
each tag present. Any file can be named: for an MP3 its MPEG version and layer,
channel mode, bit rate (the average when it varies), sample rate, frames, duration
and size are shown instead, and its tags as well.

  --json   one JSON object per line and file
  --help   show this help

Exit status: 0 when every file could be read, 1 otherwise, 2 for a usage error.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+157"/>
        <source>File: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>   No valid Musepack stream header
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+30"/>
        <location line="+1"/>
        <source>no file named</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>trackmill-cli info: %s: cannot be read
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>trackmill-cli info: %s: no Musepack stream header and no tags
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/cli/main.cpp" line="-46"/>
        <source>Usage: trackmill-cli COMMAND [ARGUMENTS]

Commands:
  info [--json] FILE...     show the stream header and the tags of each file
  convert [options] PATH... convert Musepack files (and folders) to MP3

Options:
  --help                    show this help
  --version                 show the program version

Run &apos;trackmill-cli COMMAND --help&apos; for the options of a command.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <source>unknown command &apos;%s&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/cli/Usage.cpp" line="+63"/>
        <source>Did you mean %s?
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>See %s.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFileChooser</name>
    <message>
        <location filename="../src/widgets/FileChooser.cpp" line="+12"/>
        <source>Musepack files (*.mpc *.mpp *.mp+ *.MPC *.MPP *.MP+);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Add files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Add folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWindowView</name>
    <message>
        <location filename="../src/main/WindowView.cpp" line="+184"/>
        <source>Transcoding finished</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WindowPresenter</name>
    <message>
        <location filename="../src/ui/WindowPresenter.cpp" line="+39"/>
        <source>1 file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>File %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 already in the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stopped: %1 added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No Musepack files found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %1 not accepted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The list is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 in the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 converted, %2 skipped, %3 failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %1 not converted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+19"/>
        <source>

... and %1 more; &quot;Show log&quot; names them all.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>waiting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>converting %1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Collecting: %1 examined, %2 added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+60"/>
        <source>%1 elapsed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>under a minute left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>about %1 min left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>about %1 h %2 min left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+143"/>
        <source>1 file was not accepted:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 files were not accepted:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+65"/>
        <source>1 file could not be converted:

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 files could not be converted:

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>1 converted file did not get all of its tags:

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 converted files did not get all of their tags:

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+59"/>
        <source>converted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>converted; </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trackmill</name>
    <message>
        <location filename="../src/main/LibraryDialog.cpp" line="+162"/>
        <source>Same folders as the sources</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, library folder </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>From the tags: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>One folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>folder art copied and embedded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>folder art copied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>folder art embedded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no folder art</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trackmill::TConsoleWindow</name>
    <message>
        <location filename="../src/widgets/ConsoleWindow.cpp" line="+35"/>
        <source>&amp;Showing:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show &amp;console during jobs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Trackmill console</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Unticked, this window no longer opens by itself; &quot;Show log&quot; still has every file&apos;s output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The files being converted; the output of the one chosen is shown</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trackmill::TDirectoryEdit</name>
    <message>
        <location filename="../src/widgets/ToolEdit.cpp" line="+42"/>
        <source>Choose the folder (Alt+Down)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 or the button at the right chooses the folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trackmill::TForm1</name>
    <message>
        <location filename="../src/main/Form1.cpp" line="+496"/>
        <source>Invalid class typecast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/main/Form1.h" line="+75"/>
        <source>Trackmill v1.2 (MPC -&gt; MP3 transcoder)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An error occured</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/main/Form1Layout.cpp" line="+35"/>
        <source>VBR, about 190 kbit/s, encoded faster</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VBR, about 190 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>VBR, about 245 kbit/s, encoded faster</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VBR, about 245 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+1"/>
        <source>CBR 320 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ABR, about 96 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ABR, about 112 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ABR, about 128 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ABR, about 160 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CBR 96 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CBR 112 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CBR 128 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CBR 160 kbit/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Fileinfo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Transcode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Click here to start transcoding files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Right click for list of predefined presets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Click on a filename to see fileinformation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Copy ID3V&amp;1.x tags (if present)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy a source&apos;s ID3v1 tag into its MP3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy ID3V&amp;2.x tags (if present)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy a source&apos;s ID3v2 tag, pictures included, into its MP3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Clear all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Clear all files in the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Convert A&amp;PE 1.x/2.x tags to </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write a source&apos;s APE tag (Musepack&apos;s usual tag) into the MP3 as the tag chosen at the right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Delete items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Delete selected files from the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>S&amp;hutdown after transcoding</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Enable this checkbox to automatically shutdown the PC when all files have been transcoded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Place transcoded files in this di&amp;rectory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Converted files will be placed in the same folder as
the source files unless you check this option</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>C&amp;ancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Transcoding will end after the current file has been processed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>ID3V1.1 holds 30 characters a field; ID3V2.3 holds every field whole</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <source>Add &amp;files...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose Musepack files to add to the list (Ctrl+O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Add fold&amp;er...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose a folder whose Musepack files are added to the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Output &amp;names...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>E&amp;xisting files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Skip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Overwrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Keep both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>What happens when an MP3 of the same name is already there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Parallel con&amp;versions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>How many files are converted at once; one for each processor core uses the whole machine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+256"/>
        <source>&amp;Presets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/system/Platform.h" line="+37"/>
        <source>LAME.EXE not found. Place the file in the same directory as Trackmill.exe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MPPDEC.EXE not found. Place the file in the same directory as Trackmill.exe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Decoder options (Mppdec)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Encoder options (LAME)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files to transcode (drop MPC, MPP, MP+ files, drives or folders from Explorer)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>LAME not found. Place the program in the same directory as trackmill or install it on the PATH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MPCDEC not found. Place the program in the same directory as trackmill or install it on the PATH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Decoder options (mpcdec)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Encoder options (lame)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files to transcode (drop MPC, MPP, MP+ files or folders from the file manager)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trackmill::TLibraryDialog</name>
    <message>
        <location filename="../src/main/LibraryDialog.cpp" line="-158"/>
        <source>A source below it keeps its path relative to it in the output folder; a source outside it keeps its path relative to the dropped folder&apos;s parent. Empty: none.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+13"/>
        <source>Output names</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Library folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>
Alt+Down chooses a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Library folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Same folders as the sources</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From the &amp;tags</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>O&amp;ne folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Fields: %artist%, %albumartist%, %album%, %title%, %track%, %year%, %disc%, %genre%, %filename%
A &quot;/&quot; starts a folder; an empty line uses the default pattern.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Pattern</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Cop&amp;y folder art</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A source folder&apos;s folder, cover, front or album picture
is copied once beside its MP3s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Embed folder art when a file has none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The folder&apos;s picture becomes the front cover of an MP3
whose source has no picture</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trackmill::TLogWindow</name>
    <message>
        <location filename="../src/widgets/LogWindow.cpp" line="+48"/>
        <source>Show &amp;console during jobs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Trackmill log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Whether the console with the programs&apos; output opens while files are converted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+108"/>
        <source>[earlier output left out]
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trackmill::TShutdownNotice</name>
    <message>
        <location filename="../src/widgets/ShutdownNotice.cpp" line="+15"/>
        <source>Cancel shutdown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Transcoding has finished. The computer shuts down in %1 s.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trackmill::TStatusArea</name>
    <message>
        <location filename="../src/widgets/StatusArea.cpp" line="+16"/>
        <source>Deta&amp;ils</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Open output folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show &amp;log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>&amp;Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>What the programs printed for each file of the last job</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stop adding files (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Which files were not accepted, and why</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
