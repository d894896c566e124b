<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Cli</name>
    <message>
        <location filename="../src/cli/ConvertCommand.cpp" line="+51"/>
        <source>skip</source>
        <translation>überspringen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>overwrite</source>
        <translation>überschreiben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>keep both</source>
        <translation>beide behalten</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Settings: decoder options &apos;%s&apos;, encoder options &apos;%s&apos;
</source>
        <translation>Einstellungen: Decoder-Optionen &apos;%s&apos;, Encoder-Optionen &apos;%s&apos;
</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>, folder structure kept</source>
        <translation>, Ordnerstruktur beibehalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, names from the tags: </source>
        <translation>, Namen aus den Tags: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, flat</source>
        <translation>, alle in einem Ordner</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>beside each source</source>
        <translation>neben jeder Quelldatei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the working folder</source>
        <translation>der Arbeitsordner</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>  output: %s%s
</source>
        <translation>  Ausgabe: %s%s
</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not used</source>
        <translation>nicht verwendet</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+4"/>
        <source>copied</source>
        <translation>kopiert</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>embedded where a file has none</source>
        <translation>eingebettet, wo eine Datei keines hat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>copied, and embedded where a file has none</source>
        <translation>kopiert und eingebettet, wo eine Datei keines hat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>  library folder: %s; folder art: %s
</source>
        <translation>  Bibliotheksordner: %s; Ordnerbilder: %s
</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not copied</source>
        <translation>nicht kopiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not converted</source>
        <translation>nicht umgewandelt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>to ID3v1.1</source>
        <translation>in ID3v1.1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>to ID3v2.3</source>
        <translation>in ID3v2.3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>  existing files: %s; %d at once; tags: ID3v1 %s, ID3v2 %s, APE %s
</source>
        <translation>  vorhandene Dateien: %s; %d gleichzeitig; Tags: ID3v1 %s, ID3v2 %s, APE %s
</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>  folder image %s -&gt; %s
</source>
        <translation>  Ordnerbild %s -&gt; %s
</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Plan for %d file (nothing is converted):
</source>
        <translation>Plan für %d Datei (es wird nichts umgewandelt):
</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plan for %d files (nothing is converted):
</source>
        <translation>Plan für %d Dateien (es wird nichts umgewandelt):
</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>  %s: skipped (%s)
</source>
        <translation>  %s: übersprungen (%s)
</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>  %s: refused (%s)
</source>
        <translation>  %s: abgelehnt (%s)
</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>
Converted %d of %d file</source>
        <translation>
%d von %d Datei umgewandelt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>
Converted %d of %d files</source>
        <translation>
%d von %d Dateien umgewandelt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %d with tags updated</source>
        <translation>, %d mit erneuerten Tags</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %d skipped</source>
        <translation>, %d übersprungen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %d out of date</source>
        <translation>, %d veraltet</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/cli/ConvertHost.cpp" line="+127"/>
        <source>, %d failed</source>
        <translation>, %d fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %d not converted</source>
        <translation>, %d nicht umgewandelt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %d refused</source>
        <translation>, %d abgelehnt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %d ignored (not Musepack)</source>
        <translation>, %d ignoriert (kein Musepack)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Out of date: converted before the source last changed; --existing update-tags gives the MP3 the source&apos;s present tags.
</source>
        <translation>Veraltet: umgewandelt, bevor sich die Quelle zuletzt änderte; --existing update-tags gibt der MP3 die jetzigen Tags der Quelle.
</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Converted:</source>
        <translation>Umgewandelt:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tags updated:</source>
        <translation>Tags erneuert:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Skipped:</source>
        <translation>Übersprungen:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Failed:</source>
        <translation>Fehlgeschlagen:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not converted (cancelled):</source>
        <translation>Nicht umgewandelt (abgebrochen):</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Not converted:</source>
        <translation>Nicht umgewandelt:</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Settings file: %s
</source>
        <translation>Einstellungsdatei: %s
</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Settings file: none (%s does not exist); the default settings apply
</source>
        <translation>Einstellungsdatei: keine (%s existiert nicht); es gelten die Vorgabewerte
</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>trackmill-cli: refused %s: %s
</source>
        <translation>trackmill-cli: %s abgelehnt: %s
</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>trackmill-cli: ignored %s: %s
</source>
        <translation>trackmill-cli: %s ignoriert: %s
</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>trackmill-cli: no Musepack files to convert
</source>
        <translation>trackmill-cli: keine Musepack-Dateien zum Umwandeln
</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>cancel requested: the files in progress finish, no new file starts (Ctrl-C again stops them too)</source>
        <translation>Abbruch angefordert: die laufenden Dateien werden noch fertig, keine neue Datei beginnt (ein weiteres Strg+C hält auch sie an)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>stopping the files in progress; their MP3s are removed</source>
        <translation>die laufenden Dateien werden angehalten; ihre MP3s werden entfernt</translation>
    </message>
    <message>
        <location filename="../src/cli/ConvertHost.cpp" line="-41"/>
        <source>the options were tried on a short silence and refused; no file was started: %s</source>
        <translation>die Optionen wurden an kurzer Stille ausprobiert und abgelehnt; keine Datei wurde begonnen: %s</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Done %d of %d</source>
        <translation>%d von %d fertig</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>under a minute left</source>
        <translation>noch weniger als eine Minute</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>about %1 min left</source>
        <translation>noch etwa %1 min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>about %1 h %2 min left</source>
        <translation>noch etwa %1 h %2 min</translation>
    </message>
    <message>
        <location line="+96"/>
        <source>done: </source>
        <translation>fertig: </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>tags updated: </source>
        <translation>Tags erneuert: </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>skipped: </source>
        <translation>übersprungen: </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>FAILED: </source>
        <translation>FEHLGESCHLAGEN: </translation>
    </message>
    <message>
        <location filename="../src/cli/ConvertSettings.cpp" line="+16"/>
        <source>Usage: trackmill-cli convert [options] PATH...

Converts the Musepack files among PATH (folders are searched) to MP3 with mpcdec and
lame (or to Opus with opusenc), several at once, and carries their tags over. A file
counts as converted only when its MP3 is whole, tagged and in place; nothing already
there is replaced unless --existing overwrite says so. A line is printed as each file
ends (a failed one with the last lines its programs printed), then the counts and
each failure with its reason.

Options (default: the window&apos;s stored settings, else the values named below):
  --decoder-options TEXT   options for mpcdec, shell words as typed in a terminal
  --encoder-options TEXT   options for lame, the same way (default: --alt-preset
                           cbr 128), or for opusenc with --format opus (default:
                           --bitrate 160); a line that would run or redirect commands
                           (; | &amp; &lt; &gt; # $( or a back quote outside quotes) is refused,
                           and both lines are tried on a short silence first: what
                           a program refuses ends the run before any file starts
  --format mp3|opus        the files written: MP3 by lame (default) or Opus by
                           opusenc
  --output-dir DIR         write the MP3 files into DIR (else beside the sources)
  --library-folder DIR     a source below DIR keeps its path below it in the output
                           folder, however it was named (default: the music folder)
  --layout source|tags|flat  with --output-dir: the sources&apos; folders (default), names
                           from the tags by --pattern, or all straight into DIR
  --flat                   the same as --layout flat
  --pattern TEXT           the names of --layout tags (default:
                           %albumartist%/%album%/%track% %title%; also %artist%,
                           %year%, %disc%, %genre%, %filename%); text in [ ] is
                           left out when a field in it is empty
                           (%albumartist%/[%year% - ]%album%/[%track% ]%title%),
                           [[ and ]] are the brackets themselves; a source whose
                           tags leave a folder empty keeps its own folders, and
                           one whose tags leave the name empty its own name
  --no-folder-art          do not copy a folder&apos;s cover image beside its MP3s
  --no-embed-folder-art    do not embed it into MP3s whose source has no picture
  --existing POLICY        an MP3 already at an output path: skip (default),
                           overwrite, or keep-both (the new one gets a number);
                           update-tags skips as skip does, but gives an MP3
                           converted before its source last changed the
                           source&apos;s present tags, its audio as it is
  -j, --jobs N             files converted at once (default: the processor cores)
  --no-id3v1               do not copy ID3v1 tags
  --no-id3v2               do not copy ID3v2 tags
  --no-ape                 do not convert APE tags
  --ape-to id3v1|id3v2     the tag an APE tag becomes (default: id3v2)
  --dry-run                print where each file would go, convert nothing
  --json                   the job&apos;s events as JSON Lines on standard output
  -v, --verbose            also name the settings file read, print each file&apos;s start
                           and its programs&apos; output, and every file in the summary
  --help                   show this help

Ctrl-C stops after the files in progress; a second Ctrl-C stops them too.
Exit status: 0 every file converted or skipped, 1 a file failed or the job was
cancelled, 2 usage error (options a program refused included).
</source>
        <translation>Aufruf: trackmill-cli convert [Optionen] PFAD...

Wandelt die Musepack-Dateien unter PFAD (Ordner werden durchsucht) mit mpcdec
und lame in MP3 um (oder mit opusenc in Opus), mehrere gleichzeitig, und
übernimmt ihre Tags. Eine Datei gilt erst als umgewandelt, wenn ihre MP3
vollständig, getaggt und an ihrem Platz ist; nichts bereits Vorhandenes wird
ersetzt, außer --existing overwrite verlangt es. Zu jeder beendeten Datei wird
eine Zeile ausgegeben (zu einer fehlgeschlagenen mit den letzten Zeilen, die
ihre Programme ausgaben), danach die Zahlen und jeder Fehler mit seinem Grund.

Optionen (Vorgabe: die gespeicherten Einstellungen des Fensters, sonst die unten
genannten Werte):
  --decoder-options TEXT   Optionen für mpcdec, Shell-Wörter wie im Terminal
  --encoder-options TEXT   Optionen für lame, ebenso (Vorgabe: --alt-preset
                           cbr 128), oder mit --format opus für opusenc
                           (Vorgabe: --bitrate 160); eine Zeile, die Befehle
                           ausführen oder umleiten würde (; | &amp; &lt; &gt; # $( oder ein
                           Backquote außerhalb von Anführungszeichen), wird
                           abgelehnt, und beide Zeilen werden zuerst an kurzer
                           Stille ausprobiert: was ein Programm ablehnt,
                           beendet den Lauf, bevor eine Datei beginnt
  --format mp3|opus        die geschriebenen Dateien: MP3 mit lame (Vorgabe)
                           oder Opus mit opusenc
  --output-dir ORDNER      die MP3-Dateien in ORDNER schreiben (sonst neben
                           die Quellen)
  --library-folder ORDNER  eine Quelle unter ORDNER behält ihren Pfad darunter
                           im Ausgabeordner, wie auch immer sie angegeben wurde
                           (Vorgabe: der Musikordner)
  --layout source|tags|flat  mit --output-dir: Ordner der Quellen (Vorgabe),
                           Namen aus den Tags nach --pattern oder alle direkt
                           in ORDNER
  --flat                   dasselbe wie --layout flat
  --pattern TEXT           die Namen bei --layout tags (Vorgabe:
                           %albumartist%/%album%/%track% %title%; außerdem
                           %artist%, %year%, %disc%, %genre%, %filename%);
                           Text in [ ] entfällt, wenn ein Feld darin leer ist
                           (%albumartist%/[%year% - ]%album%/[%track% ]%title%),
                           [[ und ]] sind die Klammern selbst; eine Quelle,
                           deren Tags einen Ordner leer lassen, behält ihre
                           eigenen Ordner, eine, deren Tags den Namen leer
                           lassen, ihren eigenen Namen
  --no-folder-art          das Titelbild eines Ordners nicht neben seine MP3s
                           kopieren
  --no-embed-folder-art    es nicht in MP3s einbetten, deren Quelle kein Bild
                           hat
  --existing MODUS         eine MP3, die schon am Ausgabepfad liegt: skip
                           (überspringen, Vorgabe), overwrite (überschreiben)
                           oder keep-both (beide behalten; die neue erhält
                           eine Nummer); update-tags überspringt wie skip,
                           gibt aber einer MP3, die vor der letzten Änderung
                           ihrer Quelle umgewandelt wurde, die jetzigen Tags
                           der Quelle; ihr Audio bleibt, wie es ist
  -j, --jobs N             gleichzeitig umgewandelte Dateien (Vorgabe: die
                           Zahl der Prozessorkerne)
  --no-id3v1               ID3v1-Tags nicht übernehmen
  --no-id3v2               ID3v2-Tags nicht übernehmen
  --no-ape                 APE-Tags nicht umwandeln
  --ape-to id3v1|id3v2     der Tag, zu dem ein APE-Tag wird (Vorgabe: id3v2)
  --dry-run                ausgeben, wohin jede Datei käme, nichts umwandeln
  --json                   die Ereignisse des Auftrags als JSON Lines auf der
                           Standardausgabe
  -v, --verbose            auch die gelesene Einstellungsdatei nennen, den Start
                           jeder Datei und die Ausgabe ihrer Programme ausgeben,
                           und jede Datei in der Übersicht
  --help                   diese Hilfe zeigen

Strg+C hält nach den laufenden Dateien an; ein zweites Strg+C hält auch sie an.
Rückgabewert: 0 jede Datei umgewandelt oder übersprungen, 1 eine Datei ist
fehlgeschlagen oder der Auftrag wurde abgebrochen, 2 Aufruffehler (auch von
einem Programm abgelehnte Optionen).
</translation>
    </message>
    <message>
        <location line="+159"/>
        <source>--decoder-options needs a value</source>
        <translation>--decoder-options braucht einen Wert</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--encoder-options needs a value</source>
        <translation>--encoder-options braucht einen Wert</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--format needs mp3 or opus</source>
        <translation>--format braucht mp3 oder opus</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--format takes mp3 or opus, not &apos;%s&apos;</source>
        <translation>--format erwartet mp3 oder opus, nicht &apos;%s&apos;</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--output-dir needs a folder</source>
        <translation>--output-dir braucht einen Ordner</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--layout needs source, tags or flat</source>
        <translation>--layout braucht source, tags oder flat</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--layout takes source, tags or flat, not &apos;%s&apos;</source>
        <translation>--layout erwartet source, tags oder flat, nicht &apos;%s&apos;</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--pattern needs a pattern</source>
        <translation>--pattern braucht ein Muster</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--library-folder needs a folder</source>
        <translation>--library-folder braucht einen Ordner</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--existing needs skip, overwrite, keep-both or update-tags</source>
        <translation>--existing braucht skip, overwrite, keep-both oder update-tags</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--existing takes skip, overwrite, keep-both or update-tags, not &apos;%s&apos;</source>
        <translation>--existing erwartet skip, overwrite, keep-both oder update-tags, nicht &apos;%s&apos;</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%s needs a number</source>
        <translation>%s braucht eine Zahl</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%s takes a whole number from 1 on, not &apos;%s&apos;</source>
        <translation>%s erwartet eine ganze Zahl ab 1, nicht &apos;%s&apos;</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%s %s is more than %d; converting %d files at once</source>
        <translation>%s %s ist mehr als %d; es werden %d Dateien gleichzeitig umgewandelt</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>--ape-to needs id3v1 or id3v2</source>
        <translation>--ape-to braucht id3v1 oder id3v2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--ape-to takes id3v1 or id3v2, not &apos;%s&apos;</source>
        <translation>--ape-to erwartet id3v1 oder id3v2, nicht &apos;%s&apos;</translation>
    </message>
    <message>
        <location line="+10"/>
        <location filename="../src/cli/InfoCommand.cpp" line="+254"/>
        <location filename="../src/cli/main.cpp" line="+67"/>
        <source>unknown option &apos;%s&apos;</source>
        <translation>unbekannte Option &apos;%s&apos;</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>no PATH given</source>
        <translation>kein PFAD angegeben</translation>
    </message>
    <message>
        <location filename="../src/cli/InfoCommand.cpp" line="-221"/>
        <source>Usage: trackmill-cli info [--json] FILE...

Shows, for each file, the lines of the information panel (stream version, profile,
channel mode, bit rate, frames, duration, size, tags contained), then the fields of
each tag present. Any file can be named: for an MP3 its MPEG version and layer,
channel mode, bit rate (the average when it varies), sample rate, frames, duration
and size are shown instead, and its tags as well; for an Opus file its channels,
input sample rate, samples, duration (less the pre-skip) and size, and its comments.

  --json   one JSON object per line and file
  --help   show this help

Exit status: 0 when every file could be read, 1 otherwise, 2 for a usage error.
</source>
        <translation>Aufruf: trackmill-cli info [--json] DATEI...

Zeigt zu jeder Datei die Zeilen des Informationsfelds (Stream-Version, Profil,
Kanalmodus, Bitrate, Frames, Dauer, Größe, enthaltene Tags), danach die Felder
jedes vorhandenen Tags. Jede Datei kann angegeben werden: bei einer MP3 werden
stattdessen MPEG-Version und Layer, Kanalmodus, Bitrate (der Durchschnitt,
wenn sie schwankt), Abtastrate, Frames, Dauer und Größe gezeigt, und ebenso
ihre Tags; bei einer Opus-Datei ihre Kanäle, die Abtastrate der Quelle, die
Samples, die Dauer (ohne den Pre-Skip) und die Größe, und ihre Kommentare.

  --json   ein JSON-Objekt pro Zeile und Datei
  --help   diese Hilfe zeigen

Rückgabewert: 0, wenn jede Datei gelesen werden konnte, sonst 1; 2 bei einem
Aufruffehler.
</translation>
    </message>
    <message>
        <location line="+194"/>
        <source>File: </source>
        <translation>Datei: </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>   No valid Musepack stream header
</source>
        <translation>   Kein gültiger Musepack-Stream-Header
</translation>
    </message>
    <message>
        <location line="+30"/>
        <location line="+1"/>
        <source>no file named</source>
        <translation>keine Datei angegeben</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>trackmill-cli info: %s: cannot be read
</source>
        <translation>trackmill-cli info: %s: kann nicht gelesen werden
</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>trackmill-cli info: %s: no Musepack stream header and no tags
</source>
        <translation>trackmill-cli info: %s: kein Musepack-Stream-Header und keine Tags
</translation>
    </message>
    <message>
        <location filename="../src/cli/main.cpp" line="-47"/>
        <source>Usage: trackmill-cli COMMAND [ARGUMENTS]

Commands:
  info [--json] FILE...     show the stream header and the tags of each file
  convert [options] PATH... convert Musepack files (and folders) to MP3

Options:
  --help                    show this help
  --version                 show the program version

Run &apos;trackmill-cli COMMAND --help&apos; for the options of a command.
</source>
        <translation>Aufruf: trackmill-cli BEFEHL [ARGUMENTE]

Befehle:
  info [--json] DATEI...      Stream-Header und Tags jeder Datei zeigen
  convert [Optionen] PFAD...  Musepack-Dateien (und Ordner) in MP3 umwandeln

Optionen:
  --help                      diese Hilfe zeigen
  --version                   die Programmversion zeigen

&apos;trackmill-cli BEFEHL --help&apos; zeigt die Optionen eines Befehls.
</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>unknown command &apos;%s&apos;</source>
        <translation>unbekannter Befehl &apos;%s&apos;</translation>
    </message>
    <message>
        <location filename="../src/cli/Usage.cpp" line="+63"/>
        <source>Did you mean %s?
</source>
        <translation>Meinten Sie %s?
</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>See %s.
</source>
        <translation>Siehe %s.
</translation>
    </message>
</context>
<context>
    <name>InfoPanel</name>
    <message>
        <location filename="../src/engine/FileInfo.cpp" line="+65"/>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Streaminfo</source>
        <translation>Streaminfo</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Streamversion: %1</source>
        <translation>Streamversion: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Profile: %1</source>
        <translation>Profil: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+37"/>
        <source>Channelmode: %1</source>
        <translation>Kanalmodus: %1</translation>
    </message>
    <message>
        <location line="-36"/>
        <location line="+38"/>
        <source>Bitrate: %1 Kb/s</source>
        <translation>Bitrate: %1 Kb/s</translation>
    </message>
    <message>
        <location line="-37"/>
        <location line="+39"/>
        <source>Framecount: %1</source>
        <translation>Frames: %1</translation>
    </message>
    <message>
        <location line="-38"/>
        <location line="+39"/>
        <location line="+19"/>
        <source>Duration: %1 secs</source>
        <translation>Dauer: %1 s</translation>
    </message>
    <message>
        <location line="-57"/>
        <location line="+39"/>
        <location line="+19"/>
        <source>Filesize: %1 KB</source>
        <translation>Dateigröße: %1 KB</translation>
    </message>
    <message>
        <location line="-55"/>
        <source>Tags contained in file</source>
        <translation>Tags in der Datei</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ID3V1.x tag: %1</source>
        <translation>ID3V1.x-Tag: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ID3V2.x tag: %1</source>
        <translation>ID3V2.x-Tag: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>APE 1/2 tag: %1</source>
        <translation>APE-1/2-Tag: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Truncated: the stream ends after about %1 of %2 secs</source>
        <translation>Abgeschnitten: Der Stream endet nach etwa %1 von %2 s</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>MPEG audio</source>
        <translation>MPEG-Audio</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Version: %1 %2</source>
        <translation>Version: %1 %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bitrate: %1 Kb/s (variable, average)</source>
        <translation>Bitrate: %1 Kb/s (variabel, Mittelwert)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Samplerate: %1 Hz</source>
        <translation>Abtastrate: %1 Hz</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Ogg Opus</source>
        <translation>Ogg Opus</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Channels: %1</source>
        <translation>Kanäle: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Input samplerate: %1 Hz</source>
        <translation>Abtastrate der Quelle: %1 Hz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Samples at 48 kHz: %1</source>
        <translation>Samples bei 48 kHz: %1</translation>
    </message>
    <message>
        <location filename="../src/engine/TagLines.cpp" line="+39"/>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>binary, %1 bytes</source>
        <translation>binär, %1 Bytes</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>ReplayGain in the header: track %1, peak %2; album %3, peak %4</source>
        <translation>ReplayGain im Header: Titel %1, Spitze %2; Album %3, Spitze %4</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>ID3v1.1 tag</source>
        <translation>ID3v1.1-Tag</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ID3v1.0 tag</source>
        <translation>ID3v1.0-Tag</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+15"/>
        <location line="+20"/>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <location line="-34"/>
        <location line="+15"/>
        <location line="+20"/>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <location line="-34"/>
        <location line="+15"/>
        <location line="+20"/>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <location line="-34"/>
        <location line="+15"/>
        <location line="+20"/>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <location line="-34"/>
        <location line="+15"/>
        <location line="+20"/>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <location line="-34"/>
        <location line="+15"/>
        <location line="+20"/>
        <source>Track</source>
        <translation>Titelnummer</translation>
    </message>
    <message>
        <location line="-33"/>
        <location line="+14"/>
        <location line="+20"/>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>ID3v2.%1 tag, %2 bytes</source>
        <translation>ID3v2.%1-Tag, %2 Bytes</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Composer</source>
        <translation>Komponist</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Encoder</source>
        <translation>Encoder</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+18"/>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>APE %1 tag, %2 bytes</source>
        <translation>APE-%1-Tag, %2 Bytes</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Album Artist</source>
        <translation>Albuminterpret</translation>
    </message>
</context>
<context>
    <name>Reason</name>
    <message>
        <location filename="../src/engine/Reasons.cpp" line="+24"/>
        <source>exists: %1</source>
        <translation>vorhanden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot rename the MP3 to %1: %2</source>
        <translation>die MP3 kann nicht in %1 umbenannt werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the source was removed while it was converted</source>
        <translation>die Quelle wurde während der Umwandlung entfernt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the source changed while it was converted</source>
        <translation>die Quelle hat sich während der Umwandlung geändert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the source is damaged: %1</source>
        <translation>die Quelle ist beschädigt: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>decoding stopped after %1 of %2 s</source>
        <translation>das Dekodieren brach nach %1 von %2 s ab</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the output folder %1 cannot be created: %2</source>
        <translation>der Ausgabeordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot write in %1: %2</source>
        <translation>in %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot write the script: %1</source>
        <translation>das Skript kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 lasts %1 s, the source %2 s</source>
        <translation>die MP3 dauert %1 s, die Quelle %2 s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 holds %1 of the source&apos;s %2 samples</source>
        <translation>die MP3 enthält %1 der %2 Samples der Quelle</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 holds %1 samples, the source %2</source>
        <translation>die MP3 enthält %1 Samples, die Quelle %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 holds %1 samples; the source&apos;s %2 at %3 Hz make %4 at %5 Hz</source>
        <translation>die MP3 enthält %1 Samples; die %2 der Quelle bei %3 Hz ergeben %4 bei %5 Hz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no MP3 was written</source>
        <translation>es wurde keine MP3 geschrieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 is empty</source>
        <translation>die MP3 ist leer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 cannot be opened: %1</source>
        <translation>die MP3 kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no audio was decoded</source>
        <translation>es wurde kein Ton dekodiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the tags could not be written: %1</source>
        <translation>die Tags konnten nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 tag: %2</source>
        <translation>%1-Tag: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>cannot rename the Opus file to %1: %2</source>
        <translation>die Opus-Datei kann nicht in %1 umbenannt werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file lasts %1 s, the source %2 s</source>
        <translation>die Opus-Datei dauert %1 s, die Quelle %2 s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file holds %1 of the source&apos;s %2 samples</source>
        <translation>die Opus-Datei enthält %1 der %2 Samples der Quelle</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file holds %1 samples, the source %2</source>
        <translation>die Opus-Datei enthält %1 Samples, die Quelle %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file holds %1 samples; the source&apos;s %2 at %3 Hz make %4 at %5 Hz</source>
        <translation>die Opus-Datei enthält %1 Samples; die %2 der Quelle bei %3 Hz ergeben %4 bei %5 Hz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no Opus file was written</source>
        <translation>es wurde keine Opus-Datei geschrieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file is empty</source>
        <translation>die Opus-Datei ist leer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file cannot be opened: %1</source>
        <translation>die Opus-Datei kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Opus comments: %1</source>
        <translation>Opus-Kommentare: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>an Opus file has no place for the ID3v2 frame %1: not carried</source>
        <translation>eine Opus-Datei hat keinen Platz für den ID3v2-Frame %1: nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>an Opus file has no place for the ID3v2 frames %1: not carried</source>
        <translation>eine Opus-Datei hat keinen Platz für die ID3v2-Frames %1: nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>an Opus file has no place for the APE item %1: not carried</source>
        <translation>eine Opus-Datei hat keinen Platz für das APE-Element %1: nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>an Opus file has no place for the APE items %1: not carried</source>
        <translation>eine Opus-Datei hat keinen Platz für die APE-Elemente %1: nicht übernommen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the shell could not run the command: %1</source>
        <translation>die Shell konnte den Befehl nicht ausführen: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the pipe helper could not run the command: %1</source>
        <translation>das Pipe-Hilfsprogramm konnte den Befehl nicht ausführen: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot open the source: %1</source>
        <translation>die Quelle kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the system could not start the programs</source>
        <translation>das System konnte die Programme nicht starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the decoder stopped with exit status %1</source>
        <translation>der Decoder endete mit dem Status %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the encoder stopped with exit status %1</source>
        <translation>der Encoder endete mit dem Status %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 did not accept the encoder options: %2</source>
        <translation>%1 hat die Encoder-Optionen nicht angenommen: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 did not accept the decoder options: %2</source>
        <translation>%1 hat die Decoder-Optionen nicht angenommen: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The decoder options cannot be used: they hold %1. They are shell words, as typed in a terminal, and may not run or redirect commands</source>
        <translation>Die Decoder-Optionen können nicht verwendet werden: Sie enthalten %1. Sie sind Shell-Wörter wie im Terminal und dürfen keine Befehle ausführen oder umleiten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The encoder options cannot be used: they hold %1. They are shell words, as typed in a terminal, and may not run or redirect commands</source>
        <translation>Die Encoder-Optionen können nicht verwendet werden: Sie enthalten %1. Sie sind Shell-Wörter wie im Terminal und dürfen keine Befehle ausführen oder umleiten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>a line break</source>
        <translation>einen Zeilenumbruch</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a quote that is not closed</source>
        <translation>ein nicht geschlossenes Anführungszeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a back quote</source>
        <translation>einen Backquote</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 outside quotes</source>
        <translation>%1 außerhalb von Anführungszeichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 inside quotes</source>
        <translation>%1 innerhalb von Anführungszeichen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the command could not be started: %1</source>
        <translation>der Befehl konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the system has no processes to spare</source>
        <translation>das System hat keine Prozesse frei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the source is gone</source>
        <translation>die Quelle ist nicht mehr da</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the source is no longer a file</source>
        <translation>die Quelle ist keine Datei mehr</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>stopped before it was finished</source>
        <translation>angehalten, bevor sie fertig war</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not converted: the job was cancelled</source>
        <translation>nicht umgewandelt: der Auftrag wurde abgebrochen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no program to start</source>
        <translation>kein Programm zu starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot start %1: %2</source>
        <translation>%1 kann nicht gestartet werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>program not found: %1</source>
        <translation>Programm nicht gefunden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the working folder does not exist: %1</source>
        <translation>der Arbeitsordner existiert nicht: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the command line has an unclosed quote</source>
        <translation>die Befehlszeile hat ein nicht geschlossenes Anführungszeichen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>cannot replace %1: %2</source>
        <translation>%1 kann nicht ersetzt werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not a file</source>
        <translation>keine Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>already converted, before the source last changed: %1</source>
        <translation>bereits umgewandelt, vor der letzten Änderung der Quelle: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>already converted: %1</source>
        <translation>bereits umgewandelt: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>converted before the source last changed: its tags are updated</source>
        <translation>vor der letzten Änderung der Quelle umgewandelt: ihre Tags werden erneuert</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the tags could not be updated: the source&apos;s mark is not known</source>
        <translation>die Tags konnten nicht erneuert werden: die Markierung der Quelle ist unbekannt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 %1 is gone</source>
        <translation>die MP3 %1 ist nicht mehr da</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 %1 cannot be opened: %2</source>
        <translation>die MP3 %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 %1 no longer carries the mark of this source</source>
        <translation>die MP3 %1 trägt die Markierung dieser Quelle nicht mehr</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 %1 holds no audio</source>
        <translation>die MP3 %1 enthält keine Audiodaten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 %1 cannot be read</source>
        <translation>die MP3 %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the source changed while the MP3&apos;s tags were updated</source>
        <translation>die Quelle hat sich geändert, während die Tags der MP3 erneuert wurden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the MP3 %1 changed while its tags were updated</source>
        <translation>die MP3 %1 hat sich geändert, während ihre Tags erneuert wurden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file %1 is gone</source>
        <translation>die Opus-Datei %1 ist nicht mehr da</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file %1 cannot be opened: %2</source>
        <translation>die Opus-Datei %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file %1 no longer carries the mark of this source</source>
        <translation>die Opus-Datei %1 trägt die Markierung dieser Quelle nicht mehr</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file %1 holds no audio</source>
        <translation>die Opus-Datei %1 enthält keine Audiodaten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file %1 cannot be read</source>
        <translation>die Opus-Datei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the source changed while the Opus file&apos;s tags were updated</source>
        <translation>die Quelle hat sich geändert, während die Tags der Opus-Datei erneuert wurden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the Opus file %1 changed while its tags were updated</source>
        <translation>die Opus-Datei %1 hat sich geändert, während ihre Tags erneuert wurden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the output %1 is the source %2</source>
        <translation>die Ausgabe %1 ist die Quelle %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the output %1 is this source itself</source>
        <translation>die Ausgabe %1 ist diese Quelle selbst</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the output path is longer than the system allows</source>
        <translation>der Ausgabepfad ist länger, als das System erlaubt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>replaces %1, converted before</source>
        <translation>ersetzt %1, früher umgewandelt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>replaces %1</source>
        <translation>ersetzt %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>renamed: %1 was made from another source</source>
        <translation>umbenannt: %1 wurde aus einer anderen Quelle erstellt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>renamed: another source also makes %1</source>
        <translation>umbenannt: eine andere Quelle ergibt ebenfalls %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>renamed: %1 exists</source>
        <translation>umbenannt: %1 ist vorhanden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the folder image %1 was not copied: %2</source>
        <translation>das Ordnerbild %1 wurde nicht kopiert: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot read it: %1</source>
        <translation>es kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it is not a JPEG or PNG image</source>
        <translation>es ist kein JPEG- oder PNG-Bild</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it exceeds the %1 limit for an image</source>
        <translation>es überschreitet die Grenze von %1 für ein Bild</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>it grew while it was copied: %1</source>
        <translation>es wuchs während des Kopierens: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot rename it to %1: %2</source>
        <translation>es kann nicht in %1 umbenannt werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no free name beside %1</source>
        <translation>kein freier Name neben %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>not a regular file (a pipe, device or socket)</source>
        <translation>keine gewöhnliche Datei (eine Pipe, ein Gerät oder ein Socket)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a broken symbolic link</source>
        <translation>ein defekter symbolischer Link</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no such file or folder</source>
        <translation>Datei oder Ordner nicht vorhanden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not a Musepack file</source>
        <translation>keine Musepack-Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not a Musepack file (no valid stream header)</source>
        <translation>keine Musepack-Datei (kein gültiger Stream-Header)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>no folder for the scripts is safe from other users (set XDG_RUNTIME_DIR or TMPDIR)</source>
        <translation>kein Ordner für die Skripte ist vor anderen Benutzern sicher (XDG_RUNTIME_DIR oder TMPDIR setzen)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no temporary folder of this user&apos;s was found (set TEMP)</source>
        <translation>kein temporärer Ordner dieses Benutzers gefunden (TEMP setzen)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot make a folder for this user alone: %1</source>
        <translation>es kann kein Ordner nur für diesen Benutzer angelegt werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot create a private folder in %1: %2</source>
        <translation>in %1 kann kein privater Ordner angelegt werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot use a private folder in %1: %2</source>
        <translation>der private Ordner in %1 kann nicht benutzt werden: %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>every name is taken</source>
        <translation>jeder Name ist vergeben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the file cannot be read or is shorter than 128 bytes</source>
        <translation>die Datei kann nicht gelesen werden oder ist kürzer als 128 Bytes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no such file</source>
        <translation>Datei nicht vorhanden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>not a regular file</source>
        <translation>keine gewöhnliche Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the tag is too large for ID3v2</source>
        <translation>der Tag ist zu groß für ID3v2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the file is shorter than a tag header</source>
        <translation>die Datei ist kürzer als ein Tag-Header</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>invalid offset</source>
        <translation>ungültige Position</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>invalid size</source>
        <translation>ungültige Größe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the new content could not be made</source>
        <translation>der neue Inhalt konnte nicht erstellt werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the new content could not be written</source>
        <translation>der neue Inhalt konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the file is not open</source>
        <translation>die Datei ist nicht geöffnet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the file is not open for writing</source>
        <translation>die Datei ist nicht zum Schreiben geöffnet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>cannot create a temporary file beside it: %1</source>
        <translation>daneben kann keine temporäre Datei angelegt werden: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the cover picture</source>
        <translation>das Titelbild</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the APE item &quot;%1&quot;</source>
        <translation>das APE-Element &quot;%1&quot;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the ID3v2 frame %1</source>
        <translation>der ID3v2-Frame %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 of %2 exceeds the %3 limit and was not carried</source>
        <translation>%1 mit %2 überschreitet die Grenze von %3 und wurde nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 of %2 lies past the %3 limit and was not carried</source>
        <translation>%1 mit %2 liegt hinter der Grenze von %3 und wurde nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 of %2 exceeds the %3 limit for a text; its first %4 were carried</source>
        <translation>%1 mit %2 überschreitet die Grenze von %3 für einen Text; die ersten %4 wurden übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the ID3v2 tag of %1 exceeds the %2 limit; the frames past it were not carried</source>
        <translation>der ID3v2-Tag mit %1 überschreitet die Grenze von %2; die Frames dahinter wurden nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the APE items after it were not carried</source>
        <translation>die APE-Elemente danach wurden nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the APE items past the %1 limit were not carried</source>
        <translation>die APE-Elemente hinter der Grenze von %1 wurden nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 APE texts exceed the %2 limit for a text; the first %3 of each were carried</source>
        <translation>%1 APE-Texte überschreiten die Grenze von %2 für einen Text; von jedem wurden die ersten %3 übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 ID3v2 texts exceed the %2 limit for a text; the first %3 of each were carried</source>
        <translation>%1 ID3v2-Texte überschreiten die Grenze von %2 für einen Text; von jedem wurden die ersten %3 übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 APE items beyond the limit of %2 were not carried</source>
        <translation>%1 APE-Elemente jenseits der Grenze von %2 wurden nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 ID3v2 frames beyond the limit of %2 were not carried</source>
        <translation>%1 ID3v2-Frames jenseits der Grenze von %2 wurden nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the ID3v1.1 tag has no field for the APE item %1: not carried</source>
        <translation>der ID3v1.1-Tag hat kein Feld für das APE-Element %1: nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>the ID3v1.1 tag has no field for the APE items %1: not carried</source>
        <translation>der ID3v1.1-Tag hat kein Feld für die APE-Elemente %1: nicht übernommen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 and %2 more</source>
        <translation>%1 und %2 weitere</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&quot;%1&quot;</source>
        <translation>&quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>TFileChooser</name>
    <message>
        <location filename="../src/widgets/FileChooser.cpp" line="+12"/>
        <source>Musepack files (*.mpc *.mpp *.mp+ *.MPC *.MPP *.MP+);;All files (*)</source>
        <translation>Musepack-Dateien (*.mpc *.mpp *.mp+ *.MPC *.MPP *.MP+);;Alle Dateien (*)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Add files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Add folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
</context>
<context>
    <name>TWindowView</name>
    <message>
        <location filename="../src/main/WindowView.cpp" line="+175"/>
        <source>Transcoding finished</source>
        <translation>Umwandeln abgeschlossen</translation>
    </message>
</context>
<context>
    <name>WindowPresenter</name>
    <message>
        <location filename="../src/ui/WindowPresenter.cpp" line="+40"/>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>File %1 of %2</source>
        <translation>Datei %1 von %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 already in the list</source>
        <translation>%1 bereits in der Liste</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Stopped: %1 added</source>
        <translation>Angehalten: %1 hinzugefügt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No Musepack files found</source>
        <translation>Keine Musepack-Dateien gefunden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 added</source>
        <translation>%1 hinzugefügt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %1 not accepted</source>
        <translation>, %1 nicht angenommen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The list is empty</source>
        <translation>Die Liste ist leer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 in the list</source>
        <translation>%1 in der Liste</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 converted, %2 skipped, %3 failed</source>
        <translation>%1 umgewandelt, %2 übersprungen, %3 fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %1 with tags updated</source>
        <translation>, %1 mit erneuerten Tags</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %1 out of date</source>
        <translation>, %1 veraltet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>, %1 not converted</source>
        <translation>, %1 nicht umgewandelt</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>

... and %1 more; &quot;Show log&quot; names them all.</source>
        <translation>

... und %1 weitere; &quot;Protokoll&quot; nennt sie alle.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>converting %1 %</source>
        <translation>Umwandlung %1 %</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+10"/>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>skipped</source>
        <translation>übersprungen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>tags updated</source>
        <translation>Tags erneuert</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Collecting: %1 examined, %2 added</source>
        <translation>Sammeln: %1 geprüft, %2 hinzugefügt</translation>
    </message>
    <message>
        <location line="+61"/>
        <source>%1 elapsed</source>
        <translation>%1 vergangen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>under a minute left</source>
        <translation>noch weniger als eine Minute</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>about %1 min left</source>
        <translation>noch etwa %1 min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>about %1 h %2 min left</source>
        <translation>noch etwa %1 h %2 min</translation>
    </message>
    <message>
        <location line="+153"/>
        <source>1 file was not accepted:</source>
        <translation>1 Datei wurde nicht angenommen:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 files were not accepted:</source>
        <translation>%1 Dateien wurden nicht angenommen:</translation>
    </message>
    <message>
        <location line="+79"/>
        <source>1 file could not be converted:

</source>
        <translation>1 Datei konnte nicht umgewandelt werden:

</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 files could not be converted:

</source>
        <translation>%1 Dateien konnten nicht umgewandelt werden:

</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>1 converted file did not get all of its tags:

</source>
        <translation>1 umgewandelte Datei hat nicht alle ihre Tags erhalten:

</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 converted files did not get all of their tags:

</source>
        <translation>%1 umgewandelte Dateien haben nicht alle ihre Tags erhalten:

</translation>
    </message>
    <message>
        <location line="-354"/>
        <location line="+413"/>
        <source>converted</source>
        <translation>umgewandelt</translation>
    </message>
    <message>
        <location line="-74"/>
        <source>Planning: %1 files in the output folder read</source>
        <translation>Planen: %1 Dateien im Ausgabeordner gelesen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Planning: %1 of %2 files</source>
        <translation>Planen: %1 von %2 Dateien</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Planning stopped: no file was started</source>
        <translation>Planen angehalten: keine Datei wurde begonnen</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>converted; </source>
        <translation>umgewandelt; </translation>
    </message>
    <message>
        <location filename="../src/ui/WindowPresenter.h" line="+27"/>
        <source>Stopping after the current files...</source>
        <translation>Wird nach den laufenden Dateien angehalten...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files cannot be added while transcoding</source>
        <translation>Während des Umwandelns können keine Dateien hinzugefügt werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The options were tried on a short silence before the first file, and refused; no file was started.

%1</source>
        <translation>Die Optionen wurden vor der ersten Datei an kurzer Stille ausprobiert und abgelehnt; keine Datei wurde begonnen.

%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Shutdown cancelled; the computer keeps running</source>
        <translation>Herunterfahren abgebrochen; der Computer läuft weiter</translation>
    </message>
</context>
<context>
    <name>trackmill::TConsoleWindow</name>
    <message>
        <location filename="../src/widgets/ConsoleWindow.cpp" line="+36"/>
        <source>&amp;Showing:</source>
        <translation>&amp;Anzeige:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show &amp;console during jobs</source>
        <translation>&amp;Konsole beim Umwandeln zeigen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Trackmill console</source>
        <translation>Trackmill-Konsole</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Unticked, this window no longer opens by itself; &quot;Show log&quot; still has every file&apos;s output</source>
        <translation>Nicht angehakt, öffnet sich dieses Fenster nicht mehr von selbst; &quot;Protokoll&quot; enthält weiterhin die Ausgabe jeder Datei</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The files being converted; the output of the one chosen is shown</source>
        <translation>Die Dateien, die gerade umgewandelt werden; die Ausgabe der gewählten wird gezeigt</translation>
    </message>
</context>
<context>
    <name>trackmill::TDirectoryEdit</name>
    <message>
        <location filename="../src/widgets/ToolEdit.cpp" line="+43"/>
        <source>Choose the folder (Alt+Down)</source>
        <translation>Ordner wählen (Alt+Unten)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 or the button at the right chooses the folder</source>
        <translation>%1 oder die Schaltfläche rechts wählt den Ordner</translation>
    </message>
</context>
<context>
    <name>trackmill::TForm1</name>
    <message>
        <location filename="../src/main/Form1.cpp" line="+506"/>
        <source>The output folder could not be opened: no program to show folders is set up (a file manager, and xdg-open from xdg-utils).

The MP3s are in:
%1</source>
        <translation>Der Ausgabeordner ließ sich nicht öffnen: Kein Programm zum Anzeigen von Ordnern ist eingerichtet (ein Dateimanager und xdg-open aus xdg-utils).

Die MP3-Dateien liegen in:
%1</translation>
    </message>
    <message>
        <location line="+115"/>
        <source>Invalid class typecast</source>
        <translation>Ungültige Typumwandlung einer Klasse</translation>
    </message>
    <message>
        <location filename="../src/main/Form1.h" line="+80"/>
        <source>Trackmill v1.2 (MPC -&gt; MP3 transcoder)</source>
        <translation>Trackmill v1.2 (MPC -&gt; MP3-Umwandler)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An error occured</source>
        <translation>Ein Fehler ist aufgetreten</translation>
    </message>
    <message>
        <location filename="../src/main/Form1Layout.cpp" line="+40"/>
        <source>VBR, about 190 kbit/s, encoded faster</source>
        <translation>VBR, etwa 190 kbit/s, schneller kodiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VBR, about 190 kbit/s</source>
        <translation>VBR, etwa 190 kbit/s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>VBR, about 245 kbit/s, encoded faster</source>
        <translation>VBR, etwa 245 kbit/s, schneller kodiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VBR, about 245 kbit/s</source>
        <translation>VBR, etwa 245 kbit/s</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+2"/>
        <source>CBR 320 kbit/s</source>
        <translation>CBR 320 kbit/s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ABR, about 96 kbit/s</source>
        <translation>ABR, etwa 96 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ABR, about 112 kbit/s</source>
        <translation>ABR, etwa 112 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ABR, about 128 kbit/s</source>
        <translation>ABR, etwa 128 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ABR, about 160 kbit/s</source>
        <translation>ABR, etwa 160 kbit/s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CBR 96 kbit/s</source>
        <translation>CBR 96 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CBR 112 kbit/s</source>
        <translation>CBR 112 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CBR 128 kbit/s</source>
        <translation>CBR 128 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CBR 160 kbit/s</source>
        <translation>CBR 160 kbit/s</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>VBR, about 96 kbit/s</source>
        <translation>VBR, etwa 96 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VBR, about 128 kbit/s</source>
        <translation>VBR, etwa 128 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VBR, about 160 kbit/s</source>
        <translation>VBR, etwa 160 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VBR, about 192 kbit/s</source>
        <translation>VBR, etwa 192 kbit/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>VBR, about 256 kbit/s</source>
        <translation>VBR, etwa 256 kbit/s</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Fileinfo</source>
        <translation>Dateiinfo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Transcode</source>
        <translation>&amp;Umwandeln</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Click here to start transcoding files</source>
        <translation>Hier klicken, um das Umwandeln der Dateien zu starten</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Right click for list of predefined presets</source>
        <translation>Rechtsklick für eine Liste vordefinierter Voreinstellungen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Click on a filename to see fileinformation</source>
        <translation>Auf einen Dateinamen klicken, um seine Dateiinformationen zu sehen</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Copy ID3V&amp;1.x tags (if present)</source>
        <translation>ID3V&amp;1.x-Tags übernehmen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy a source&apos;s ID3v1 tag into its MP3</source>
        <translation>Den ID3v1-Tag einer Quelldatei in ihre MP3 übernehmen (falls vorhanden)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy ID3V&amp;2.x tags (if present)</source>
        <translation>ID3V&amp;2.x-Tags übernehmen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy a source&apos;s ID3v2 tag, pictures included, into its MP3</source>
        <translation>Den ID3v2-Tag einer Quelldatei samt Bildern in ihre MP3 übernehmen (falls vorhanden)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Clear all</source>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Clear all files in the list</source>
        <translation>Alle Dateien aus der Liste entfernen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Convert A&amp;PE 1.x/2.x tags to </source>
        <translation>A&amp;PE-1.x/2.x-Tags umwandeln in </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write a source&apos;s APE tag (Musepack&apos;s usual tag) into the MP3 as the tag chosen at the right</source>
        <translation>Den APE-Tag einer Quelldatei (den üblichen Tag von Musepack) als den rechts gewählten Tag in die MP3 schreiben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Delete items</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Delete selected files from the list</source>
        <translation>Ausgewählte Dateien aus der Liste entfernen</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>S&amp;hutdown after transcoding</source>
        <translation>PC danach &amp;herunterfahren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Enable this checkbox to automatically shutdown the PC when all files have been transcoded</source>
        <translation>Dieses Kästchen ankreuzen, um den PC automatisch herunterzufahren, wenn alle Dateien umgewandelt sind</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Place transcoded files in this di&amp;rectory</source>
        <translation>Umgewandelte Dateien in diesen O&amp;rdner</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Converted files will be placed in the same folder as
the source files unless you check this option</source>
        <translation>Umgewandelte Dateien werden in denselben Ordner wie die
Quelldateien gelegt, wenn diese Option nicht angehakt ist</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>C&amp;ancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Transcoding will end after the current file has been processed</source>
        <translation>Das Umwandeln endet, sobald die aktuelle Datei verarbeitet ist</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>ID3V1.1 holds 30 characters a field; ID3V2.3 holds every field whole</source>
        <translation>ID3V1.1 fasst 30 Zeichen je Feld; ID3V2.3 fasst jedes Feld vollständig</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>Add &amp;files...</source>
        <translation>&amp;Dateien...</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose Musepack files to add to the list (Ctrl+O)</source>
        <translation>Musepack-Dateien wählen, die zur Liste hinzugefügt werden (Strg+O)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Add fold&amp;er...</source>
        <translation>&amp;Ordner...</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose a folder whose Musepack files are added to the list</source>
        <translation>Einen Ordner wählen, dessen Musepack-Dateien zur Liste hinzugefügt werden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Output &amp;names...</source>
        <translation>Ausgabe&amp;namen...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>E&amp;xisting files</source>
        <translation>&amp;Wenn vorhanden</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Keep both</source>
        <translation>Beide behalten</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Update tags</source>
        <translation>Tags erneuern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>What happens when an MP3 of the same name is already there;
&quot;Update tags&quot; gives an MP3 converted before its source was retagged
the source&apos;s present tags</source>
        <translation>Was geschieht, wenn eine MP3 gleichen Namens schon vorhanden ist;
&quot;Tags erneuern&quot; gibt einer MP3, die umgewandelt wurde, bevor ihre Quelle neu getaggt wurde,
die jetzigen Tags der Quelle</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Parallel con&amp;versions</source>
        <translation>Parallel u&amp;mwandeln</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>How many files are converted at once; one for each processor core uses the whole machine</source>
        <translation>Wie viele Dateien gleichzeitig umgewandelt werden; eine je Prozessorkern nutzt den ganzen Rechner</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Output format</source>
        <translation>Ausgabe&amp;format</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>The files written: MP3 by lame or Opus by opusenc;
each format keeps its own encoder options</source>
        <translation>Die geschriebenen Dateien: MP3 mit lame oder Opus mit opusenc;
jedes Format behält seine eigenen Encoder-Optionen</translation>
    </message>
    <message>
        <location line="+293"/>
        <source>&amp;Presets</source>
        <translation>&amp;Voreinstellungen</translation>
    </message>
    <message>
        <location filename="../src/system/Platform.h" line="+41"/>
        <source>LAME.EXE not found. Place the file in the same directory as Trackmill.exe or in a folder on the PATH</source>
        <translation>LAME.EXE nicht gefunden. Legen Sie die Datei in denselben Ordner wie Trackmill.exe oder in einen Ordner des PATH</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>MPPDEC.EXE not found, nor MPCDEC.EXE. Place either file in the same directory as Trackmill.exe or in a folder on the PATH</source>
        <translation>Weder MPPDEC.EXE noch MPCDEC.EXE gefunden. Legen Sie eine der Dateien in denselben Ordner wie Trackmill.exe oder in einen Ordner des PATH</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>OPUSENC.EXE not found. Place the file in the same directory as Trackmill.exe or in a folder on the PATH</source>
        <translation>OPUSENC.EXE nicht gefunden. Legen Sie die Datei in denselben Ordner wie Trackmill.exe oder in einen Ordner des PATH</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Encoder options (LAME)</source>
        <translation>Encoder-Optionen (LAME)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Files to transcode (drop MPC, MPP, MP+ files, drives or folders from Explorer)</source>
        <translation>Dateien zum Umwandeln (MPC-, MPP-, MP+-Dateien, Laufwerke oder Ordner hierher ziehen)</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>LAME not found. Place the program in the same directory as trackmill or install it on the PATH</source>
        <translation>LAME nicht gefunden. Legen Sie das Programm in denselben Ordner wie trackmill oder installieren Sie es in einen Ordner des PATH</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MPCDEC not found. Place the program in the same directory as trackmill or install it on the PATH</source>
        <translation>MPCDEC nicht gefunden. Legen Sie das Programm in denselben Ordner wie trackmill oder installieren Sie es in einen Ordner des PATH</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>OPUSENC not found. Place the program in the same directory as trackmill or install it on the PATH (Debian: opus-tools)</source>
        <translation>OPUSENC nicht gefunden. Legen Sie das Programm in denselben Ordner wie trackmill oder installieren Sie es in einen Ordner des PATH (Debian: opus-tools)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Encoder options (opusenc)</source>
        <translation>Encoder-Optionen (opusenc)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Decoder options (%1)</source>
        <translation>Decoder-Optionen (%1)</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>Encoder options (lame)</source>
        <translation>Encoder-Optionen (lame)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files to transcode (drop MPC, MPP, MP+ files or folders from the file manager)</source>
        <translation>Dateien zum Umwandeln (MPC-, MPP-, MP+-Dateien oder Ordner hierher ziehen)</translation>
    </message>
    <message>
        <location filename="../src/engine/TranscodeJob.cpp" line="+636"/>
        <source>The system refused to shut down. Transcoding has finished; the computer keeps running.</source>
        <translation>Das System hat das Herunterfahren abgelehnt. Das Umwandeln ist beendet; der Computer läuft weiter.</translation>
    </message>
    <message>
        <location filename="../src/engine/TranscodeJob.h" line="+149"/>
        <source>The list of files to transcode is empty</source>
        <translation>Die Liste der umzuwandelnden Dateien ist leer</translation>
    </message>
</context>
<context>
    <name>trackmill::TLibraryDialog</name>
    <message>
        <location filename="../src/main/LibraryDialog.cpp" line="+21"/>
        <source>A source below it keeps its path relative to it in the output folder; a source outside it keeps its path relative to the dropped folder&apos;s parent. Empty: none.</source>
        <translation>Eine Quelle darunter behält ihren Pfad relativ zu ihm im Ausgabeordner; eine Quelle außerhalb behält ihren Pfad relativ zum übergeordneten Ordner des abgelegten Ordners. Leer: keiner.</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+13"/>
        <source>Output names</source>
        <translation>Ausgabenamen</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>Library folder</source>
        <translation>Bibliotheksordner</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>
Alt+Down chooses a folder.</source>
        <translation>
Alt+Unten wählt einen Ordner.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Library folder</source>
        <translation>&amp;Bibliotheksordner</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Same folders as the sources</source>
        <translation>&amp;Gleiche Ordner wie die Quellen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>From the &amp;tags</source>
        <translation>Aus den &amp;Tags</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>O&amp;ne folder</source>
        <translation>Ei&amp;n Ordner</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Fields: %artist%, %albumartist%, %album%, %title%, %track%, %year%, %disc%, %genre%, %filename%
A &quot;/&quot; starts a folder; an empty line uses the default pattern.
Text in [ ] is left out when a field in it is empty: [%year% - ]%album%; [[ and ]] are brackets.
A file whose tags leave a folder empty keeps its own folders, and its own name where they leave the name empty.</source>
        <translation>Felder: %artist%, %albumartist%, %album%, %title%, %track%, %year%, %disc%, %genre%, %filename%
Ein &quot;/&quot; beginnt einen Ordner; eine leere Zeile verwendet das Standardmuster.
Text in [ ] entfällt, wenn ein Feld darin leer ist: [%year% - ]%album%; [[ und ]] sind Klammern.
Eine Datei, deren Tags einen Ordner leer lassen, behält ihre eigenen Ordner, und ihren eigenen Namen, wo sie den Namen leer lassen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Pattern</source>
        <translation>&amp;Muster</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Cop&amp;y folder art</source>
        <translation>Ordnerbild &amp;kopieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A source folder&apos;s folder, cover, front or album picture
is copied once beside its MP3s</source>
        <translation>Das Bild folder, cover, front oder album eines Quellordners
wird einmal neben seine MP3s kopiert</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Embed folder art when a file has none</source>
        <translation>Ordnerbild &amp;einbetten, wenn eine Datei keines hat</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The folder&apos;s picture becomes the front cover of an MP3
whose source has no picture</source>
        <translation>Das Bild des Ordners wird zum Titelbild einer MP3,
deren Quelle kein Bild hat</translation>
    </message>
    <message>
        <location line="+83"/>
        <source>Same folders as the sources</source>
        <translation>Gleiche Ordner wie die Quellen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, library folder </source>
        <translation>, Bibliotheksordner </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>From the tags: </source>
        <translation>Aus den Tags: </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>One folder</source>
        <translation>Ein Ordner</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>folder art copied and embedded</source>
        <translation>Ordnerbild kopiert und eingebettet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>folder art copied</source>
        <translation>Ordnerbild kopiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>folder art embedded</source>
        <translation>Ordnerbild eingebettet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no folder art</source>
        <translation>kein Ordnerbild</translation>
    </message>
</context>
<context>
    <name>trackmill::TLogWindow</name>
    <message>
        <location filename="../src/widgets/LogWindow.cpp" line="+65"/>
        <source>Show &amp;console during jobs</source>
        <translation>&amp;Konsole beim Umwandeln zeigen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Trackmill log</source>
        <translation>Trackmill-Protokoll</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Whether the console with the programs&apos; output opens while files are converted</source>
        <translation>Ob sich die Konsole mit der Ausgabe der Programme öffnet, während Dateien umgewandelt werden</translation>
    </message>
    <message>
        <location line="+118"/>
        <source>[earlier output left out]
</source>
        <translation>[frühere Ausgabe ausgelassen]
</translation>
    </message>
</context>
<context>
    <name>trackmill::TShutdownNotice</name>
    <message>
        <location filename="../src/widgets/ShutdownNotice.cpp" line="+15"/>
        <source>Cancel shutdown</source>
        <translation>Herunterfahren abbrechen</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Transcoding has finished. The computer shuts down in %1 s.</source>
        <translation>Das Umwandeln ist beendet. Der Computer fährt in %1 s herunter.</translation>
    </message>
</context>
<context>
    <name>trackmill::TStatusArea</name>
    <message>
        <location filename="../src/widgets/StatusArea.cpp" line="+18"/>
        <source>Deta&amp;ils</source>
        <translation>De&amp;tails</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Open output folder</source>
        <translation>Ausgabeordner ö&amp;ffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show &amp;log</source>
        <translation>Proto&amp;koll</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>&amp;Stop</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>What the programs printed for each file of the last job</source>
        <translation>Was die Programme zu jeder Datei des letzten Auftrags ausgegeben haben</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+125"/>
        <source>Stop adding files (Esc)</source>
        <translation>Hinzufügen von Dateien anhalten (Esc)</translation>
    </message>
    <message>
        <location line="-121"/>
        <source>Which files were not accepted, and why</source>
        <translation>Welche Dateien nicht angenommen wurden, und warum</translation>
    </message>
    <message>
        <location line="+128"/>
        <source>Stop planning; no file is started (Esc)</source>
        <translation>Planen anhalten; keine Datei wird begonnen (Esc)</translation>
    </message>
</context>
</TS>
