<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Cli</name>
    <message>
        <location filename="../src/cli/ConvertCommand.cpp" line="+48"/>
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
        <location line="+2"/>
        <source>  existing files: %s; %d at once; tags: ID3v1 %s, ID3v2 %s, APE %s
</source>
        <translation>  vorhandene Dateien: %s; %d gleichzeitig; Tags: ID3v1 %s, ID3v2 %s, APE %s
</translation>
    </message>
    <message>
        <location line="+36"/>
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
        <location line="+27"/>
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
        <source>, %d skipped</source>
        <translation>, %d übersprungen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/cli/ConvertHost.cpp" line="+123"/>
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
        <location line="+17"/>
        <source>Converted:</source>
        <translation>Umgewandelt:</translation>
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
lame, several at once, and carries their tags over. A file counts as converted only
when its MP3 is whole, tagged and in place; nothing already there is replaced unless
--existing overwrite says so. A line is printed as each file ends (a failed one with
the last lines its programs printed), then the counts and each failure with its reason.

Options (default: the window&apos;s stored settings, else the values named below):
  --decoder-options TEXT   options for mpcdec, shell words as typed in a terminal
  --encoder-options TEXT   options for lame, the same way (default: --alt-preset
                           cbr 128); a line that would run or redirect commands
                           (; | &amp; &lt; &gt; # $( or a back quote outside quotes) is refused,
                           and both lines are tried on a short silence first: what
                           a program refuses ends the run before any file starts
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
  -v, --verbose            also name the settings file read, print each file&apos;s start
                           and its programs&apos; output, and every file in the summary
  --help                   show this help

Ctrl-C stops after the files in progress; a second Ctrl-C stops them too.
Exit status: 0 every file converted or skipped, 1 a file failed or the job was
cancelled, 2 usage error (options a program refused included).
</source>
        <translation>Aufruf: trackmill-cli convert [Optionen] PFAD...

Wandelt die Musepack-Dateien unter PFAD (Ordner werden durchsucht) mit mpcdec
und lame in MP3 um, mehrere gleichzeitig, und übernimmt ihre Tags. Eine Datei
gilt erst als umgewandelt, wenn ihre MP3 vollständig, getaggt und an ihrem Platz
ist; nichts bereits Vorhandenes wird ersetzt, außer --existing overwrite
verlangt es. Zu jeder beendeten Datei wird eine Zeile ausgegeben (zu einer
fehlgeschlagenen mit den letzten Zeilen, die ihre Programme ausgaben), danach
die Zahlen und jeder Fehler mit seinem Grund.

Optionen (Vorgabe: die gespeicherten Einstellungen des Fensters, sonst die unten
genannten Werte):
  --decoder-options TEXT   Optionen für mpcdec, Shell-Wörter wie im Terminal
  --encoder-options TEXT   Optionen für lame, ebenso (Vorgabe: --alt-preset
                           cbr 128); eine Zeile, die Befehle ausführen oder
                           umleiten würde (; | &amp; &lt; &gt; # $( oder ein Backquote
                           außerhalb von Anführungszeichen), wird abgelehnt,
                           und beide Zeilen werden zuerst an kurzer Stille
                           ausprobiert: was ein Programm ablehnt, beendet den
                           Lauf, bevor eine Datei beginnt
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
                           %artist%, %year%, %disc%, %genre%, %filename%)
  --no-folder-art          das Titelbild eines Ordners nicht neben seine MP3s
                           kopieren
  --no-embed-folder-art    es nicht in MP3s einbetten, deren Quelle kein Bild
                           hat
  --existing MODUS         eine MP3, die schon am Ausgabepfad liegt: skip
                           (überspringen, Vorgabe), overwrite (überschreiben)
                           oder keep-both (beide behalten; die neue erhält
                           eine Nummer)
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
        <location line="+142"/>
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
        <source>--existing needs skip, overwrite or keep-both</source>
        <translation>--existing braucht skip, overwrite oder keep-both</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--existing takes skip, overwrite or keep-both, not &apos;%s&apos;</source>
        <translation>--existing erwartet skip, overwrite oder keep-both, nicht &apos;%s&apos;</translation>
    </message>
    <message>
        <location line="+3"/>
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
        <location filename="../src/cli/InfoCommand.cpp" line="+219"/>
        <location filename="../src/cli/main.cpp" line="+67"/>
        <source>unknown option &apos;%s&apos;</source>
        <translation>unbekannte Option &apos;%s&apos;</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>no PATH given</source>
        <translation>kein PFAD angegeben</translation>
    </message>
    <message>
        <location filename="../src/cli/InfoCommand.cpp" line="-187"/>
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
        <translation>Aufruf: trackmill-cli info [--json] DATEI...

Zeigt zu jeder Datei die Zeilen des Informationsfelds (Stream-Version, Profil,
Kanalmodus, Bitrate, Frames, Dauer, Größe, enthaltene Tags), danach die Felder
jedes vorhandenen Tags. Jede Datei kann angegeben werden: bei einer MP3 werden
stattdessen MPEG-Version und Layer, Kanalmodus, Bitrate (der Durchschnitt,
wenn sie schwankt), Abtastrate, Frames, Dauer und Größe gezeigt, und ebenso
ihre Tags.

  --json   ein JSON-Objekt pro Zeile und Datei
  --help   diese Hilfe zeigen

Rückgabewert: 0, wenn jede Datei gelesen werden konnte, sonst 1; 2 bei einem
Aufruffehler.
</translation>
    </message>
    <message>
        <location line="+161"/>
        <source>File: </source>
        <translation>Datei: </translation>
    </message>
    <message>
        <location line="+4"/>
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
        <location filename="../src/engine/FileInfo.cpp" line="+61"/>
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
        <source>Duration: %1 secs</source>
        <translation>Dauer: %1 s</translation>
    </message>
    <message>
        <location line="-38"/>
        <location line="+39"/>
        <source>Filesize: %1 KB</source>
        <translation>Dateigröße: %1 KB</translation>
    </message>
    <message>
        <location line="-36"/>
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
        <location filename="../src/main/WindowView.cpp" line="+141"/>
        <source>Transcoding finished</source>
        <translation>Umwandeln abgeschlossen</translation>
    </message>
</context>
<context>
    <name>WindowPresenter</name>
    <message>
        <location filename="../src/ui/WindowPresenter.cpp" line="+39"/>
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
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Collecting: %1 examined, %2 added</source>
        <translation>Sammeln: %1 geprüft, %2 hinzugefügt</translation>
    </message>
    <message>
        <location line="+60"/>
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
        <location line="+144"/>
        <source>1 file was not accepted:</source>
        <translation>1 Datei wurde nicht angenommen:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 files were not accepted:</source>
        <translation>%1 Dateien wurden nicht angenommen:</translation>
    </message>
    <message>
        <location line="+70"/>
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
        <location line="+59"/>
        <source>converted</source>
        <translation>umgewandelt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>converted; </source>
        <translation>umgewandelt; </translation>
    </message>
    <message>
        <location filename="../src/ui/WindowPresenter.h" line="+26"/>
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
        <location filename="../src/widgets/ConsoleWindow.cpp" line="+35"/>
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
        <location filename="../src/main/Form1.cpp" line="+517"/>
        <source>Invalid class typecast</source>
        <translation>Ungültige Typumwandlung einer Klasse</translation>
    </message>
    <message>
        <location filename="../src/main/Form1.h" line="+78"/>
        <source>Trackmill v1.2 (MPC -&gt; MP3 transcoder)</source>
        <translation>Trackmill v1.2 (MPC -&gt; MP3-Umwandler)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An error occured</source>
        <translation>Ein Fehler ist aufgetreten</translation>
    </message>
    <message>
        <location filename="../src/main/Form1Layout.cpp" line="+39"/>
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
        <location line="+58"/>
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
        <location line="+1"/>
        <source>What happens when an MP3 of the same name is already there</source>
        <translation>Was geschieht, wenn eine MP3 gleichen Namens schon vorhanden ist</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Parallel con&amp;versions</source>
        <translation>Parallel u&amp;mwandeln</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>How many files are converted at once; one for each processor core uses the whole machine</source>
        <translation>Wie viele Dateien gleichzeitig umgewandelt werden; eine je Prozessorkern nutzt den ganzen Rechner</translation>
    </message>
    <message>
        <location line="+263"/>
        <source>&amp;Presets</source>
        <translation>&amp;Voreinstellungen</translation>
    </message>
    <message>
        <location filename="../src/system/Platform.h" line="+39"/>
        <source>LAME.EXE not found. Place the file in the same directory as Trackmill.exe or in a folder on the PATH</source>
        <translation>LAME.EXE nicht gefunden. Legen Sie die Datei in denselben Ordner wie Trackmill.exe oder in einen Ordner des PATH</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>MPPDEC.EXE not found, nor MPCDEC.EXE. Place either file in the same directory as Trackmill.exe or in a folder on the PATH</source>
        <translation>Weder MPPDEC.EXE noch MPCDEC.EXE gefunden. Legen Sie eine der Dateien in denselben Ordner wie Trackmill.exe oder in einen Ordner des PATH</translation>
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
        <location line="+21"/>
        <source>LAME not found. Place the program in the same directory as trackmill or install it on the PATH</source>
        <translation>LAME nicht gefunden. Legen Sie das Programm in denselben Ordner wie trackmill oder installieren Sie es in einen Ordner des PATH</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MPCDEC not found. Place the program in the same directory as trackmill or install it on the PATH</source>
        <translation>MPCDEC nicht gefunden. Legen Sie das Programm in denselben Ordner wie trackmill oder installieren Sie es in einen Ordner des PATH</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Decoder options (%1)</source>
        <translation>Decoder-Optionen (%1)</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Encoder options (lame)</source>
        <translation>Encoder-Optionen (lame)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Files to transcode (drop MPC, MPP, MP+ files or folders from the file manager)</source>
        <translation>Dateien zum Umwandeln (MPC-, MPP-, MP+-Dateien oder Ordner hierher ziehen)</translation>
    </message>
    <message>
        <location filename="../src/engine/TranscodeJob.cpp" line="+563"/>
        <source>The system refused to shut down. Transcoding has finished; the computer keeps running.</source>
        <translation>Das System hat das Herunterfahren abgelehnt. Das Umwandeln ist beendet; der Computer läuft weiter.</translation>
    </message>
    <message>
        <location filename="../src/engine/TranscodeJob.h" line="+139"/>
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
A &quot;/&quot; starts a folder; an empty line uses the default pattern.</source>
        <translation>Felder: %artist%, %albumartist%, %album%, %title%, %track%, %year%, %disc%, %genre%, %filename%
Ein &quot;/&quot; beginnt einen Ordner; eine leere Zeile verwendet das Standardmuster.</translation>
    </message>
    <message>
        <location line="+3"/>
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
        <location filename="../src/widgets/LogWindow.cpp" line="+48"/>
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
        <location line="+108"/>
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
        <location line="+13"/>
        <source>What the programs printed for each file of the last job</source>
        <translation>Was die Programme zu jeder Datei des letzten Auftrags ausgegeben haben</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Stop adding files (Esc)</source>
        <translation>Hinzufügen von Dateien anhalten (Esc)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Which files were not accepted, and why</source>
        <translation>Welche Dateien nicht angenommen wurden, und warum</translation>
    </message>
</context>
</TS>
