"""Reads the built manuals with pdftotext and checks that each holds the
sections a user needs, in its own language."""
import subprocess
import sys

EXPECTED = {
    "DE_Manual_Quen_Connect.pdf": ["Quen Connect V1.10", "Bedienungsanleitung", "Verbinden", "Speicher einlesen",
                                   "Online-Modus", "Grenzwerte", "80/20", "ISO 19840", "Dateien und Ausgaben",
                                   "QUENCONNECT_SETTINGS_DIR"],
    "EN_Manual_Quen_Connect.pdf": ["Quen Connect V1.10", "Manual", "Connecting", "Reading a memory", "Online mode",
                                   "Limits and the 80/20 rule", "ISO 19840", "Files and exports",
                                   "QUENCONNECT_DATA_DIR"],
}


def main():
    folder = sys.argv[1]
    failures = []
    for name, phrases in EXPECTED.items():
        text = subprocess.run(["pdftotext", "-layout", f"{folder}/{name}", "-"], check=True,
                              capture_output=True, text=True).stdout
        text = " ".join(text.split())
        for phrase in phrases:
            if phrase not in text:
                failures.append(f"{name}: missing {phrase!r}")
        pages = subprocess.run(["pdfinfo", f"{folder}/{name}"], check=True, capture_output=True,
                               text=True).stdout
        count = int(next(line.split()[1] for line in pages.splitlines() if line.startswith("Pages:")))
        if not 1 <= count <= 3:
            failures.append(f"{name}: {count} pages")
    if failures:
        sys.exit("\n".join(failures))
    print("both manuals read back")


if __name__ == "__main__":
    main()
