// The events the plug-in writes to the Windows Event Log: each row its stable ID, its level, its
// name in the code, and the sentence the Event Viewer shows above the event's text once the
// source is registered. This list is the one source of the event table, of the message table in
// the DLL (scripts/event_mc.py makes it) and of the guide's catalogue. An ID is never reused.
// No include guard: each user defines ZV_EVENT(id, level, name, sentence) around the include.

ZV_EVENT(1000, Information, Started,
         "Velmora を開始しました。バージョンと、キーごとに使われている値とその設定元です。")
ZV_EVENT(1001, Information, Held, "メールを保留しました。")
ZV_EVENT(1002, Information, SentInside, "宛先がすべて組織内のため、保留せずに送信します。")
ZV_EVENT(1003, Information, SentZeroHold, "保留時間が 0 のため、保留せずに送信します。")
ZV_EVENT(1004, Information, SentCtrl, "Ctrl キーを押しながら送信されたため、保留せずに送信します。")
ZV_EVENT(1005, Information, SentIdent, "X-KRV-Ident ヘッダーの指定により、保留せずに送信します。")
ZV_EVENT(1006, Information, SentReleased, "保留を終えたメールを送信します。")
ZV_EVENT(1007, Information, ReleasedByTimer, "保留時間が過ぎたため、保留を終えました。")
ZV_EVENT(1008, Information, SentNowFromList, "送信保留リストの「すぐに送信」で、保留を終えました。")
ZV_EVENT(1009, Information, ReleasedAtExit,
         "終了時の確認で、保留中のメールを終了時にまとめて送信します。")
ZV_EVENT(1010, Information, TakenBack,
         "送信保留リストの「送信中止」で、メールを作成ウィンドウに戻しました。")
ZV_EVENT(1011, Information, ClosedWhileHeld,
         "保留中のメールの作成ウィンドウが閉じられたため、送信せずに保留を終えました。")
ZV_EVENT(2001, Warning, ConfirmCancelled,
         "宛先確認でキャンセルされました。メールは送信も保留もしていません。")
ZV_EVENT(2002, Warning, SentDespiteWarning,
         "宛先確認で、似たドメインまたは社外秘の語の警告をチェックして送信されました。")
ZV_EVENT(3001, Error, SettingsUnreadable, "設定ファイルを読めません。安全側の値で動きます。")
ZV_EVENT(3002, Error, PolicyUnreadable,
         "ポリシーファイルを読めません。誤送信の防止を強める側の値で動きます。")
ZV_EVENT(3003, Error, LogNotOpened, "操作ログのファイルを開けません。操作ログは書きません。")
ZV_EVENT(3004, Error, MailLost,
         "前回の終了で送信されなかった保留メールがあります。本文は残っていません。")
ZV_EVENT(3005, Error, SessionEnded,
         "Windows のログオフまたはシャットダウンで、保留中のメールが送信されないまま終わります。")
