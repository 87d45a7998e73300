; The texts of Setup and the uninstaller in both languages. $2 is the installed version, $R0 the
; program being written.

LangString WelcomeText ${LANG_ENGLISH} "Setup installs Varenko ${VERSION}, a 3-D fireworks screen saver, and makes it your current screen saver.$\r$\n$\r$\nSetup remembers the screen saver you use now: uninstalling Varenko gives it back, as long as Varenko is still your screen saver then.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_JAPANESE} "Varenko ${VERSION}（3D 花火スクリーンセーバー）をインストールし、現在のスクリーンセーバーを Varenko に設定します。$\r$\n$\r$\nいま使っているスクリーンセーバーは記録され、Varenko をアンインストールすると元に戻ります（そのときに Varenko がまだスクリーンセーバーである場合）。$\r$\n$\r$\n$_CLICK"

LangString SetupRunning ${LANG_ENGLISH} "Varenko Setup is already running."
LangString SetupRunning ${LANG_JAPANESE} "Varenko のセットアップは既に実行中です。"

LangString NewerInstalled ${LANG_ENGLISH} "Varenko $2 is installed, which is newer than ${VERSION}.$\r$\nUninstall it first to install this version."
LangString NewerInstalled ${LANG_JAPANESE} "Varenko $2 がインストールされています。これは ${VERSION} より新しいバージョンです。$\r$\nこのバージョンをインストールするには、先にアンインストールしてください。"

LangString OlderInstalled ${LANG_ENGLISH} "Varenko $2 is installed. Setup replaces it with version ${VERSION}; your settings are kept."
LangString OlderInstalled ${LANG_JAPANESE} "Varenko $2 がインストールされています。バージョン ${VERSION} に置き換えます。設定はそのまま残ります。"

LangString NotInstalled ${LANG_ENGLISH} "Varenko was not installed."
LangString NotInstalled ${LANG_JAPANESE} "Varenko はインストールされませんでした。"

LangString CannotWriteProgram ${LANG_ENGLISH} "Setup cannot write $R0 into $SYSDIR. Run Setup as an administrator."
LangString CannotWriteProgram ${LANG_JAPANESE} "$R0 を $SYSDIR に書き込めません。管理者としてセットアップを実行してください。"

LangString CannotReplaceProgram ${LANG_ENGLISH} "Setup cannot replace $SYSDIR\$R0. Close the screen saver and its settings, then run Setup again."
LangString CannotReplaceProgram ${LANG_JAPANESE} "$SYSDIR\$R0 を置き換えられません。スクリーンセーバーとその設定画面を閉じてから、もう一度セットアップを実行してください。"

LangString CannotWriteFolder ${LANG_ENGLISH} "Setup cannot write into $INSTDIR."
LangString CannotWriteFolder ${LANG_JAPANESE} "$INSTDIR に書き込めません。"

LangString CannotRegister ${LANG_ENGLISH} "Setup cannot register Varenko under Programs and Features. Run Setup as an administrator."
LangString CannotRegister ${LANG_JAPANESE} "Varenko を「プログラムと機能」に登録できません。管理者としてセットアップを実行してください。"
